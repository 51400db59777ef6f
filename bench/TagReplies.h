#pragma once
// Tag read replies for the benchmarks that fill a tag list: one distinct card per row.
#include <cstdint>
#include <vector>

namespace uhf::bench {

// A raw reply of a reader of kind 0 for a 12-byte EPC whose bytes 4 to 7 (the card window) hold
// the tag's number.
inline std::vector<std::uint8_t> Reply(std::uint32_t number) {
  std::vector<std::uint8_t> reply{0xA1, 0xA2, 0xA3, 0xE2, 0x00, 0x12, 0x34};
  for (int shift = 24; shift >= 0; shift -= 8) {
    reply.push_back(static_cast<std::uint8_t>(number >> shift));
  }
  reply.insert(reply.end(), {0xDE, 0xF0, 0x11, 0x22, 0xEE});
  return reply;
}

// Distinct numbers for distinct rows, spread over the whole 32-bit range.
inline std::uint32_t TagNumber(std::uint32_t row) {
  return row * 2654435761u;
}

}  // namespace uhf::bench
