#include "ui/DataExchange.h"

#include <limits>

#include "text/Utf8.h"

namespace uhf {

std::optional<std::uint64_t> ParseDialogNumber(std::string_view text) {
  std::size_t i = 0;
  const auto blank = [&](std::size_t at) { return text[at] == ' ' || text[at] == '\t'; };
  while (i < text.size() && blank(i)) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  const std::size_t firstDigit = i;
  std::uint64_t value = 0;
  constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint64_t>::max() / 10;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value =
        value >= kSaturated ? kSaturated * 10 : value * 10 + static_cast<unsigned>(text[i] - '0');
    ++i;
  }
  if (i == firstDigit) return std::nullopt;
  while (i < text.size() && blank(i)) ++i;
  if (i != text.size()) return std::nullopt;
  return value;
}

std::string FormatPrompt(std::string_view message, std::string_view first,
                         std::string_view second) {
  std::string out;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '%' && i + 1 < message.size() &&
        (message[i + 1] == '1' || message[i + 1] == '2')) {
      out += message[i + 1] == '1' ? first : second;
      ++i;
    } else {
      out += message[i];
    }
  }
  return out;
}

DataExchange::DataExchange(ControlSurface& surface, bool save, std::string_view caption)
    : surface_(surface), hold_(surface), save_(save), caption_(caption) {}

void DataExchange::Text(int id, std::string& value, int maxChars) {
  if (!ok_) return;
  if (!save_) {
    Show(id, value);
    if (maxChars > 0) surface_.LimitText(id, maxChars);
    return;
  }
  std::string text = surface_.GetText(id);
  if (maxChars > 0 && Utf8Length(text) > static_cast<std::size_t>(maxChars)) {
    return Fail(id, FormatPrompt(kMsgMaxChars, std::to_string(maxChars)));
  }
  value = std::move(text);
}

void DataExchange::Byte(int id, std::uint8_t& value) {
  if (!ok_) return;
  if (!save_) return Show(id, std::to_string(value));
  const auto number = ParseDialogNumber(surface_.GetText(id));
  if (!number || *number > 255) return Fail(id, std::string(kMsgByteRange));
  value = static_cast<std::uint8_t>(*number);
}

void DataExchange::Unsigned(int id, std::uint32_t& value, std::uint32_t min, std::uint32_t max) {
  if (!ok_) return;
  if (!save_) return Show(id, std::to_string(value));
  const auto number = ParseDialogNumber(surface_.GetText(id));
  if (!number) return Fail(id, std::string(kMsgUnsigned));
  if (*number < min || *number > max) {
    return Fail(id, FormatPrompt(kMsgRange, std::to_string(min), std::to_string(max)));
  }
  value = static_cast<std::uint32_t>(*number);
}

// The exchange writes a control only when its text differs, so an unchanged status panel keeps
// its colouring.
void DataExchange::Show(int id, const std::string& text) {
  if (surface_.GetText(id) != text) surface_.SetText(id, text);
}

// Every binding that can fail is a text binding: the offending control gets the focus and its
// whole text selected (a control that is no edit ignores the selection).
void DataExchange::Fail(int id, const std::string& message) {
  ok_ = false;
  surface_.MessageBox(message, caption_, MessageButtons::Ok, MessageIcon::Exclamation);
  surface_.SetFocus(id);
  surface_.SelectAllText(id);
}

}  // namespace uhf
