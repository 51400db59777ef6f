#pragma once
// Program-wide interface texts: captions and message texts that config.ini (section "Lan") may
// replace. Filled once while the dialog initialises; read-only afterwards. Members are named by
// their config.ini keys.

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
  // default, and the save's refusal of a tag reading interval that does not fit in one byte.
  std::string MESSAGE_POWER_PARAMETER_ERROR;
  std::string MESSAGE_FACTORY_DEFAULT_FAIL;
  std::string MESSAGE_TAG_INTERVAL_PARAMETER_ERROR;
};

// Every text with its defaults, as the program starts with them when config.ini is missing.
InterfaceText DefaultInterfaceText();

}  // namespace uhf
