#pragma once
// The dialog's bound values and their data exchange: loading copies every value into its control;
// saving reads them back with the framework's checks, stopping at the first failure with the
// framework's message, the exclamation icon and the focus on the offending control.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/ControlSurface.h"

namespace uhf {

struct BoundValues {
  std::string statusText;
  std::string checkPassword = "7C1E94B2";
  std::uint32_t tagInterval = 5;
  std::uint8_t powerValue = 0;
  std::uint8_t outputTime = 2;
  std::uint8_t readerAddress = 0;
  std::uint8_t readTime = 1;
  std::string versionText;
  std::uint32_t hostPort = 2000;
  std::uint32_t readerPort = 27001;
  std::string serialNumberText;
};

inline constexpr std::uint32_t kTagIntervalMax = 266;
inline constexpr std::uint32_t kPortMax = 65535;  // ports above 65535 do not exist
inline constexpr int kPasswordMaxChars = 8;

// The framework's messages for a failed check.
inline constexpr std::string_view kMsgByteRange = "“请填入一个在0和255之间的整数。”";
inline constexpr std::string_view kMsgUnsigned = "“请填入一个正整数。”";
inline constexpr std::string_view kMsgRange = "“请填入一个在%1和%2之间的整数。”";
inline constexpr std::string_view kMsgMaxChars = "“请填入不多于%1个的字符。”";

// Reads a number as the framework does: optional blanks or tabs, an optional plus sign, decimal
// digits, optional blanks or tabs. Anything else (a minus sign, an empty text) gives nothing.
// Values beyond 32 bits saturate, so they fail any range check.
std::optional<std::uint64_t> ParseDialogNumber(std::string_view text);

// Replaces %1 and %2 in a framework message.
std::string FormatPrompt(std::string_view message, std::string_view first,
                         std::string_view second = {});

// Runs the exchange in binding order. save = false loads the controls from the values;
// save = true reads and checks. Returns false when a check failed. Control notifications are
// held back for the whole exchange.
bool ExchangeBoundValues(ControlSurface& surface, BoundValues& values, bool save);

}  // namespace uhf
