#pragma once
// Program-wide interface texts: captions and message texts that config.ini (section "Lan") may
// replace. Filled once while the dialog initialises; read-only afterwards. Members are named by
// their config.ini keys.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace uhf {

class ControlSurface;
class Profile;

struct InterfaceText {
  std::string MESSAGE_SAVED;
  std::string MESSAGE_SUCCESS;
  std::string MESSAGE_CONNECT_FAIL;
  std::string MESSAGE_DISCONNECTED;
  std::string MESSAGE_CONNECT_SUCCESFUL;
  std::string MESSAGE_GET_OUTPOWER_FAIL;
  std::string MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL;
  std::string MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL;
  // Shown when writing the frequency region fails; the key and its default text say "Get" and
  // stay so for the config.ini files that set them.
  std::string MESSAGE_GET_FREQUENCY_REGION_FAIL;
  std::string MESSAGE_GET_ADDRESS_FAIL;
  std::string MESSAGE_READ_CONFIGURATION_OK;
  std::string MESSAGE_SET_FREQUENCY_REGION_FAIL;
  std::string MESSAGE_SET_ADDRESS_FAIL;
  std::string MESSAGE_FREQ_ERROR;
  std::string MESSAGE_LENGHT_BYTES_PARAMETER_ERROR;
  std::string MESSAGE_START_BYTES_PARAMETER_ERROR;
  std::string MESSAGE_READ_TIME_PARAMETER_ERROR;
  std::string MESSAGE_OUTPUT_TIME_PARAMETER_ERROR;
  std::string MESSAGE_DELETE;
  std::string MESSAGE_WARNNING;
  std::string MESSAGE_PARAMETER_ERROR;
  // Keys of our own: the power range message of the save, the failure message of the factory
  // default, the save's refusal of a tag reading interval that does not fit in one byte, its
  // refusal to write values no read of the connected reader showed, and its message for a
  // failed write of a setting that has no message of its own.
  std::string MESSAGE_POWER_PARAMETER_ERROR;
  std::string MESSAGE_FACTORY_DEFAULT_FAIL;
  std::string MESSAGE_TAG_INTERVAL_PARAMETER_ERROR;
  std::string MESSAGE_READ_FIRST;
  std::string MESSAGE_SET_PARAMETER_FAIL;
  // Station mode (--station): the panel while no reader is attached, while one is configured,
  // its result, the serial number's label, the cause of a read-back that differs, the counts of
  // this session, and the note while closing waits for the reader in progress.
  std::string STATION_WAITING;
  std::string STATION_RUNNING;
  std::string STATION_OK;
  std::string STATION_FAILED;
  std::string STATION_SERIAL;
  std::string STATION_DIFFERS;
  std::string STATION_COUNT_OK;
  std::string STATION_COUNT_FAILED;
  std::string STATION_CLOSING;
};

// Every text with its defaults, as the program starts with them when config.ini is missing.
InterfaceText DefaultInterfaceText();

// Section of config.ini that holds the texts, and the value buffer size the texts are read with
// (a text keeps at most 199 bytes).
inline constexpr std::string_view kInterfaceTextSection = "Lan";
inline constexpr std::size_t kInterfaceTextBufferSize = 200;

// Widths in pixels of the tag list's four columns.
inline constexpr int kTagListColumnWidths[4] = {90, 250, 150, 150};

// One key of config.ini and what its text becomes.
struct InterfaceTextEntry {
  enum class Use {
    Caption,       // the caption of `controlId`
    FixedCaption,  // read, but `controlId` always shows `fixedText`
    Message,       // fills `member`
    FixedMessage,  // read, but `member` always holds `fixedText`
    Column,        // heading of tag list column `column`
  };
  std::string_view key;  // as the program asks for it (two keys carry a trailing blank)
  std::string_view defaultText;
  Use use;
  int controlId = 0;                             // Caption, FixedCaption
  std::string InterfaceText::*member = nullptr;  // Message, FixedMessage
  int column = 0;                                // Column
  std::string_view fixedText = {};               // FixedCaption, FixedMessage
};

// Every key in reading order: captions, then message entries, then column headings.
const std::vector<InterfaceTextEntry>& InterfaceTextTable();

// Reads every key of the table from `profile` (section "Lan"), in table order, and applies each
// text at once: a caption goes to its control, a message fills its entry of `texts`, a heading
// becomes the next column of the tag list. Only MODE_READTIME turns the typed characters \r\n
// into a line break.
void ApplyInterfaceTexts(const Profile& profile, ControlSurface& surface, InterfaceText& texts);

}  // namespace uhf
