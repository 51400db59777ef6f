#include "ui/DataExchange.h"

#include <limits>

#include "ui/ControlIds.h"
#include "ui/DialogTemplate.h"
#include "ui/Utf8.h"

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

namespace {

// One exchange pass; `ok` turns false at the first failed check and every later step is skipped.
class Exchange {
 public:
  Exchange(ControlSurface& surface, bool save) : surface_(surface), save_(save) {}

  bool ok() const { return ok_; }

  void Text(int id, std::string& value, int maxChars = 0) {
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

  void Byte(int id, std::uint8_t& value) {
    if (!ok_) return;
    if (!save_) return Show(id, std::to_string(value));
    const auto number = ParseDialogNumber(surface_.GetText(id));
    if (!number || *number > 255) return Fail(id, std::string(kMsgByteRange));
    value = static_cast<std::uint8_t>(*number);
  }

  void Unsigned(int id, std::uint32_t& value, std::uint32_t min, std::uint32_t max) {
    if (!ok_) return;
    if (!save_) return Show(id, std::to_string(value));
    const auto number = ParseDialogNumber(surface_.GetText(id));
    if (!number) return Fail(id, std::string(kMsgUnsigned));
    if (*number < min || *number > max) {
      return Fail(id, FormatPrompt(kMsgRange, std::to_string(min), std::to_string(max)));
    }
    value = static_cast<std::uint32_t>(*number);
  }

 private:
  // The framework writes a control only when its text differs, so an unchanged status panel
  // keeps its colouring.
  void Show(int id, const std::string& text) {
    if (surface_.GetText(id) != text) surface_.SetText(id, text);
  }

  void Fail(int id, const std::string& message) {
    ok_ = false;
    surface_.MessageBox(message, kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    surface_.SetFocus(id);
    const ControlTemplate* control = FindControl(id);
    if (control != nullptr && control->kind == ControlKind::Edit) surface_.SelectAllText(id);
  }

  ControlSurface& surface_;
  bool save_;
  bool ok_ = true;
};

}  // namespace

bool ExchangeBoundValues(ControlSurface& surface, BoundValues& values, bool save) {
  ControlSurface::NotificationHold hold(surface);
  Exchange dx(surface, save);
  dx.Text(idc::StatusPanel, values.statusText);
  dx.Text(idc::Password, values.checkPassword, kPasswordMaxChars);
  dx.Unsigned(idc::TagInterval, values.tagInterval, 0, kTagIntervalMax);
  dx.Byte(idc::PowerValue, values.powerValue);
  dx.Byte(idc::OutputTime, values.outputTime);
  dx.Byte(idc::ReaderAddress, values.readerAddress);
  dx.Byte(idc::ReadTime, values.readTime);
  dx.Text(idc::VersionLabel, values.versionText);
  dx.Unsigned(idc::HostPort, values.hostPort, 0, kPortMax);
  dx.Unsigned(idc::ReaderPort, values.readerPort, 0, kPortMax);
  dx.Text(idc::SerialNumberLabel, values.serialNumberText);
  return dx.ok();
}

}  // namespace uhf
