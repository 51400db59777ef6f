#pragma once
// The value model under every view: the reader's configuration as a read obtained it (or as a
// save is to write it), the link an operation opens or writes over, and what an operation did.
// Plain values, no controls: the window shows them, the companion prints and edits them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/CallLog.h"
#include "reader/FrequencyPlan.h"
#include "reader/ReaderSettings.h"
#include "ui/ControlSurface.h"

namespace uhf {

// Every setting a read obtains, each empty when the call that gives it failed or was not made.
// A desired configuration for a save holds what the save writes; an empty setting is not written.
struct ReaderConfiguration {
  std::optional<std::uint8_t> readerKind;  // from the handshake: 0, 1, 2 (others are unknown)
  std::optional<std::uint8_t> buzzer;      // nonzero: on
  std::optional<std::uint8_t> workMode;    // kWorkModeTrigger by trigger, any other read always
  std::optional<std::uint8_t> readTime;    // seconds
  std::optional<std::uint8_t> outputTime;  // 100 ms units
  std::optional<WiegandOutputRecord> wiegandOutput;
  std::optional<std::uint8_t> wiegandFormat;    // kWiegand26 or kWiegand34; read over USB only
  std::optional<std::uint8_t> passwordEnabled;  // nonzero: the check password is checked
  std::optional<std::array<std::uint8_t, 4>> checkPassword;
  std::optional<std::uint8_t> tagInterval;  // seconds
  std::optional<std::uint8_t> outPower;     // power level
  std::optional<std::string> versionText;
  std::optional<std::string> serialNumberText;
  std::optional<std::uint8_t> readerAddress;
  std::optional<FrequencyPlan> frequencyPlan;

  friend bool operator==(const ReaderConfiguration&, const ReaderConfiguration&) = default;
};

enum class LinkKind { Usb, Serial, Network };

// How a read opens its link.
struct Link {
  LinkKind kind = LinkKind::Usb;
  std::int32_t port = 0;       // serial: the number OpenCom takes
  std::int32_t baud = 115200;  // USB and serial
  std::string hostIp = "0.0.0.0";
  std::int32_t hostPort = 2000;
  std::string readerIp = "192.168.1.250";
  std::int32_t readerPort = 27001;
};

// What this tool knows of its link between two operations.
struct LinkState {
  bool open = false;            // a link it opened is still open
  std::uint8_t readerKind = 0;  // as the last handshake left it
};

// Fixed status texts (not replaceable through config.ini) and their colours.
inline constexpr Rgb kStatusRed{255, 0, 0};
inline constexpr Rgb kStatusGreen{25, 150, 43};
inline constexpr std::string_view kStatusConnectFailed = "连接失败";
inline constexpr std::string_view kStatusConfigFailed = "配置失败";
inline constexpr std::string_view kStatusReadOk = "读取成功";
inline constexpr std::string_view kStatusSetOk = "设置成功";
inline constexpr std::string_view kStatusReadFailed = "读取失败";
inline constexpr std::string_view kStatusSetFailed = "设置失败";

// What one operation did and what it has the operator shown.
struct OperationResult {
  std::vector<DriverCall> calls;      // every driver call made, in order, with its status
  std::string statusText;             // the status panel's text; empty when it is left alone
  std::optional<Rgb> statusColour;    // its colour, when it is coloured
  std::vector<std::string> messages;  // message boxes, in order, after the status
  // The link opened and the reader answered the handshake (operations that open a link).
  bool connected = false;
  // Every call returned 0: the panel is green exactly then.
  bool succeeded = false;
};

// A read: the configuration it obtained and what it did.
struct ConfigurationRead {
  ReaderConfiguration configuration;
  OperationResult result;
};

}  // namespace uhf
