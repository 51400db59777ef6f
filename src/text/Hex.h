#pragma once
// Bytes as hexadecimal text: lowercase, two digits per byte, high digit first.

#include <cstdint>
#include <span>
#include <string>

namespace uhf {

// The lowercase digit of the low four bits of `nibble`.
inline char HexDigit(unsigned nibble) {
  return "0123456789abcdef"[nibble & 0x0F];
}

inline std::string BytesToHex(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t byte : bytes) {
    text += HexDigit(byte >> 4u);
    text += HexDigit(byte);
  }
  return text;
}

// The value of a hexadecimal digit in either case; -1 for any other character.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace uhf
