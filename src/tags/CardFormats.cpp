#include "tags/CardFormats.h"

#include <cstdio>
#include <span>

#include "text/Hex.h"

namespace uhf {

std::string WiegandCardText(std::span<const std::uint8_t> epc, int startByte, WiegandFrame frame,
                            bool inverted) {
  const auto width = static_cast<std::size_t>(CardBytes(frame));
  // The caller checks the window; a window that does not fit gives no text rather than a read
  // past the EPC.
  if (startByte < 0 || static_cast<std::size_t>(startByte) > epc.size() ||
      epc.size() - static_cast<std::size_t>(startByte) < width) {
    return {};
  }
  const auto window = epc.subspan(static_cast<std::size_t>(startByte), width);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value = (value << 8) | (inverted ? window[width - 1 - i] : window[i]);
  }
  char text[16];
  std::snprintf(text, sizeof text, frame == WiegandFrame::W34 ? "%010u" : "%08u", value);
  return text;
}

std::string ByteToHex(std::uint8_t value) {
  return BytesToHex(std::span(&value, 1));
}

std::string FormatCount(long long value) {
  return std::to_string(value);
}

std::string FormatRowNumber(int position) {
  return std::to_string(position);
}

int ParseCount(std::string_view text) {
  const std::size_t n = text.size() < 3 ? text.size() : 3;
  int value = 0;
  // Characters are not checked, as the list only ever holds counts it wrote itself. A byte counts
  // as a signed 8-bit code.
  for (std::size_t i = 0; i < n; ++i) {
    value = value * 10 + (static_cast<signed char>(text[i]) - '0');
  }
  return value;
}

namespace {

bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A scanf "%x" reading of a short piece: white space, an optional sign, an optional 0x prefix,
// then hexadecimal digits up to the first other character. No digit gives 0.
std::uint8_t ScanHexByte(std::string_view piece) {
  std::size_t i = 0;
  while (i < piece.size() && IsScanSpace(piece[i])) ++i;
  bool negative = false;
  if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
    negative = piece[i] == '-';
    ++i;
  }
  if (i + 1 < piece.size() && piece[i] == '0' && (piece[i + 1] == 'x' || piece[i + 1] == 'X')) {
    i += 2;
  }
  std::uint32_t value = 0;
  for (; i < piece.size(); ++i) {
    const int digit = HexDigitValue(piece[i]);
    if (digit < 0) break;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  if (negative) value = 0u - value;
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

void HexTextToBytes(std::string_view text, int count, std::uint8_t* out) {
  for (int k = 0; k < count; ++k) {
    const std::size_t at = 2 * static_cast<std::size_t>(k);
    out[k] = at < text.size() ? ScanHexByte(text.substr(at, 2)) : 0;
  }
}

}  // namespace uhf
