// The card number conversions on any bytes: Wiegand texts have their fixed width of digits,
// hexadecimal texts read back to their bytes, counts read back up to three digits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tags/CardFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool w34 = (data[0] & 1) != 0;
  const bool inverted = (data[0] & 2) != 0;
  const std::span<const std::uint8_t> epc(data + 2, size - 2);
  const int width = w34 ? 4 : 3;
  const int startByte = data[1] % 32;
  if (static_cast<std::size_t>(startByte + width) <= epc.size()) {
    const std::string card = uhf::WiegandCardText(
        epc, startByte, w34 ? uhf::WiegandFrame::W34 : uhf::WiegandFrame::W26, inverted);
    if (card.size() != (w34 ? 10u : 8u)) std::abort();
    if (!std::all_of(card.begin(), card.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      std::abort();
    }
  }

  // Bytes to text and back.
  std::string hex;
  for (std::uint8_t b : epc) hex += uhf::ByteToHex(b);
  std::vector<std::uint8_t> back(epc.size() + 1, 0xAA);
  uhf::HexTextToBytes(hex, static_cast<int>(epc.size()), back.data());
  if (!std::equal(epc.begin(), epc.end(), back.begin()) || back.back() != 0xAA) std::abort();

  // Any text: never reads past its end, writes exactly `count` bytes.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int count = data[1] % 40;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count) + 1, 0xAA);
  uhf::HexTextToBytes(text, count, out.data());
  if (out.back() != 0xAA) std::abort();

  const long long value = static_cast<long long>(data[0]) * 4 + (data[1] & 3);
  if (uhf::ParseCount(uhf::FormatCount(value)) != value % 1000 && value < 1000) std::abort();
  (void)uhf::ParseCount(text);
  (void)uhf::FormatRowNumber(static_cast<int>(value));
  return 0;
}
