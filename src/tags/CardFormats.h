#pragma once
// Texts made from bytes and back: Wiegand card numbers, hexadecimal byte texts, the tag list's
// row numbers and read counts. Pure functions.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace uhf {

enum class WiegandFrame { W26, W34 };

// Bytes of the tag number (the first 96 bits of the EPC) that card numbers are cut from.
inline constexpr int kTagNumberBytes = 12;

// Card bytes of a frame: 3 for Wiegand 26, 4 for Wiegand 34.
constexpr int CardBytes(WiegandFrame frame) {
  return frame == WiegandFrame::W34 ? 4 : 3;
}

// The last start byte that leaves room for the frame's card bytes in the tag number: 9 or 8.
constexpr int LastStartByte(WiegandFrame frame) {
  return kTagNumberBytes - CardBytes(frame);
}

// The 8-digit (Wiegand 26, 3 bytes) or 10-digit (Wiegand 34, 4 bytes) decimal card number of the
// window that starts at `startByte`, read forward or in reverse, big-endian. The caller keeps the
// window inside `epc`.
std::string WiegandCardText(std::span<const std::uint8_t> epc, int startByte, WiegandFrame frame,
                            bool inverted);

// Two lowercase hexadecimal digits.
std::string ByteToHex(std::uint8_t value);

// Plain decimal, minus sign for negative values, no padding.
std::string FormatCount(long long value);

// Text of the tag list's No. column for the row at 1-based `position`.
std::string FormatRowNumber(int position);

// The decimal value of the first three characters at most (unvalidated, as the list stores it).
int ParseCount(std::string_view text);

// Byte k of `out` is the scanf-"%x" reading of the characters 2k and 2k+1 of `text` (low 8 bits).
// A piece with no hexadecimal digit, or a piece past the text's end, gives 0. Never reads past the
// end of `text`.
void HexTextToBytes(std::string_view text, int count, std::uint8_t* out);

}  // namespace uhf
