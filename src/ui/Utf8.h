#pragma once
#include <cstddef>
#include <string_view>

namespace uhf {

// The longest prefix of `text` of at most `maxBytes` bytes that does not end inside a UTF-8
// character.
inline std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}

}  // namespace uhf
