#include "reader/ReaderSettings.h"

#include <limits>

#include "dialog/ControlIds.h"
#include "tags/CardFormats.h"
#include "ui/ControlSurface.h"

namespace uhf {

std::optional<PowerScale> PowerScaleFor(std::uint8_t readerKind) {
  // The power scale of each reader kind, by kind.
  static constexpr std::array<PowerScale, 3> kScales{{{0, 34}, {18, 9}, {0, 64}}};
  if (readerKind >= kScales.size()) return std::nullopt;
  return kScales[readerKind];
}

std::optional<std::uint8_t> FactoryPowerLevel(std::uint8_t readerKind) {
  const auto scale = PowerScaleFor(readerKind);
  if (!scale) return std::nullopt;
  return static_cast<std::uint8_t>(scale->first + scale->count - 1);
}

WiegandOutputRecord UsbRecordFor(std::uint8_t wiegandFormat) {
  if (wiegandFormat == ReaderSettings::kWiegand34) return {1, 8, 4, 0};
  return {1, 9, 3, 0};
}

void ShowPowerLevel(ControlSurface& surface, std::uint8_t readerKind, std::uint8_t level) {
  const auto scale = PowerScaleFor(readerKind);
  if (!scale) return;
  surface.ComboReset(idc::Power);
  for (int i = 0; i < scale->count; ++i) {
    surface.ComboAdd(idc::Power, std::to_string(scale->first + i));
  }
  // A level below the list gives a negative index, which clears the selection.
  surface.ComboSetSel(idc::Power, static_cast<int>(level) - scale->first);
}

std::int32_t BaudRateForItem(int item) {
  static constexpr std::array<std::int32_t, 5> kRates{9600, 19200, 38400, 57600, 115200};
  if (item < 0 || item >= static_cast<int>(kRates.size())) return kRates[0];
  return kRates[static_cast<std::size_t>(item)];
}

std::int32_t SerialPortNumber(std::string_view portName) {
  // Reads the rest of the name as a C library integer conversion would: leading blanks, an
  // optional sign, decimal digits; stops at the first other character. Saturates instead of
  // overflowing.
  std::string_view rest = portName.size() > 3 ? portName.substr(3) : std::string_view{};
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  bool negative = false;
  if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) negative = rest[i++] == '-';
  long long value = 0;
  constexpr long long kLimit = std::numeric_limits<std::int32_t>::max();
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
    value = std::min(value * 10 + (rest[i] - '0'), kLimit);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(value - 1);
}

std::array<std::uint8_t, 4> PasswordTextToBytes(std::string_view text) {
  std::array<std::uint8_t, 4> bytes{};
  for (std::size_t k = 0; k < bytes.size() && 2 * k < text.size(); ++k) {
    HexTextToBytes(text.substr(2 * k, 2), 1, &bytes[k]);
  }
  return bytes;
}

std::string PasswordBytesToText(const std::array<std::uint8_t, 4>& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) text += ByteToHex(b);
  return text;
}

std::string SerialNumberText(std::span<const std::uint8_t, 12> serial) {
  std::string text = "SN:";
  for (std::uint8_t b : serial) text += ByteToHex(b);
  return text;
}

}  // namespace uhf
