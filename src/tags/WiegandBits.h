#pragma once
// The Wiegand frame behind a decimal card number: facility code and card number (8 + 16 data
// bits for 26-bit frames, 16 + 16 for 34-bit), the leading even parity bit over the first half
// of the data bits, the trailing odd parity bit over the second half, and the whole frame as bits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace uhf {

struct WiegandFrameBits {
  int bits = 26;  // 26 or 34
  std::uint32_t facilityCode = 0;
  std::uint32_t cardNumber = 0;
  int evenParity = 0;  // first bit of the frame
  int oddParity = 0;   // last bit of the frame
  std::string bitString;
};

// From the data value: 24 bits (26-bit frame) or 32 bits (34-bit frame).
WiegandFrameBits WiegandFrameOf(std::uint32_t value, int frameBits);

// From a card number text of the tag list: 8 digits are a 26-bit frame, 10 digits a 34-bit one;
// anything else is no Wiegand card number.
std::optional<WiegandFrameBits> WiegandFrameOfCardText(std::string_view cardText);

// One line for the operator: "Wiegand 34: facility 22136, card 39612, parity even 0 odd 0,
// frame 0010...".
std::string WiegandDetailText(const WiegandFrameBits& frame);

}  // namespace uhf
