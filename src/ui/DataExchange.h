#pragma once
// Data exchange between a dialog's values and its controls: loading copies every value into its
// control; saving reads them back with the checks below, stopping at the first failure with its
// message, the exclamation icon and the focus on the offending control.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/ControlSurface.h"

namespace uhf {

// The messages of a failed check.
inline constexpr std::string_view kMsgByteRange = "“请填入一个在0和255之间的整数。”";
inline constexpr std::string_view kMsgUnsigned = "“请填入一个正整数。”";
inline constexpr std::string_view kMsgRange = "“请填入一个在%1和%2之间的整数。”";
inline constexpr std::string_view kMsgMaxChars = "“请填入不多于%1个的字符。”";

// Reads a number typed into a dialog: optional blanks or tabs, an optional plus sign, decimal
// digits, optional blanks or tabs. Anything else (a minus sign, an empty text) gives nothing.
// Values beyond 32 bits saturate, so they fail any range check.
std::optional<std::uint64_t> ParseDialogNumber(std::string_view text);

// Replaces %1 and %2 in one of the messages above.
std::string FormatPrompt(std::string_view message, std::string_view first,
                         std::string_view second = {});

// One exchange pass over a dialog's bindings, called in binding order. Once a check has failed,
// `ok()` is false and every later binding is skipped. Control notifications are held back while
// the exchange is alive.
class DataExchange {
 public:
  // `caption` titles the message box of a failed check.
  DataExchange(ControlSurface& surface, bool save, std::string_view caption);

  bool ok() const { return ok_; }

  // A text; on loading an edit is limited to `maxChars` characters (0: no limit), on saving a
  // longer text fails.
  void Text(int id, std::string& value, int maxChars = 0);
  // A whole number 0 to 255.
  void Byte(int id, std::uint8_t& value);
  // A whole number within [min, max].
  void Unsigned(int id, std::uint32_t& value, std::uint32_t min, std::uint32_t max);

 private:
  void Show(int id, const std::string& text);
  void Fail(int id, const std::string& message);

  ControlSurface& surface_;
  ControlSurface::NotificationHold hold_;
  bool save_;
  std::string caption_;
  bool ok_ = true;
};

}  // namespace uhf
