#include "tags/WiegandBits.h"

#include <bit>
#include <charconv>

namespace uhf {

WiegandFrameBits WiegandFrameOf(std::uint32_t value, int frameBits) {
  WiegandFrameBits frame;
  frame.bits = frameBits == 34 ? 34 : 26;
  const int dataBits = frame.bits - 2;
  const int half = dataBits / 2;
  if (dataBits < 32) value &= (std::uint32_t{1} << dataBits) - 1;
  frame.cardNumber = value & 0xffffu;
  frame.facilityCode = value >> 16;
  const std::uint32_t lowMask = (std::uint32_t{1} << half) - 1;
  const std::uint32_t high = value >> half;
  const std::uint32_t low = value & lowMask;
  // Even parity makes the ones of the first half plus the bit even; odd parity makes the ones of
  // the second half plus the bit odd.
  frame.evenParity = std::popcount(high) % 2;
  frame.oddParity = 1 - std::popcount(low) % 2;
  frame.bitString += static_cast<char>('0' + frame.evenParity);
  for (int bit = dataBits - 1; bit >= 0; --bit) {
    frame.bitString += ((value >> bit) & 1u) != 0 ? '1' : '0';
  }
  frame.bitString += static_cast<char>('0' + frame.oddParity);
  return frame;
}

std::optional<WiegandFrameBits> WiegandFrameOfCardText(std::string_view cardText) {
  if (cardText.size() != 8 && cardText.size() != 10) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(cardText.data(), cardText.data() + cardText.size(), value);
  if (ec != std::errc() || end != cardText.data() + cardText.size()) return std::nullopt;
  const int bits = cardText.size() == 8 ? 26 : 34;
  if (value >= (std::uint64_t{1} << (bits - 2))) return std::nullopt;
  return WiegandFrameOf(static_cast<std::uint32_t>(value), bits);
}

std::string WiegandDetailText(const WiegandFrameBits& frame) {
  return "Wiegand " + std::to_string(frame.bits) + ": facility " +
         std::to_string(frame.facilityCode) + ", card " + std::to_string(frame.cardNumber) +
         ", parity even " + std::to_string(frame.evenParity) + " odd " +
         std::to_string(frame.oddParity) + ", frame " + frame.bitString;
}

}  // namespace uhf
