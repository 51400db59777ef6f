#pragma once
// Length and cutting of UTF-8 text, counted in characters or bytes, never splitting a character.

#include <cstddef>
#include <string_view>

namespace uhf {

inline bool IsUtf8Continuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Number of characters (code points) in `text`.
inline std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) count += IsUtf8Continuation(c) ? 0 : 1;
  return count;
}

// The longest prefix of `text` of at most `maxBytes` bytes that does not end inside a UTF-8
// character.
inline std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
  while (cut > 0 && IsUtf8Continuation(text[cut])) --cut;
  return text.substr(0, cut);
}

// The first `maxChars` characters of `text` (all of it when it is shorter).
inline std::string_view Utf8PrefixChars(std::string_view text, std::size_t maxChars) {
  std::size_t end = 0;
  for (std::size_t kept = 0; end < text.size() && kept < maxChars; ++kept) {
    ++end;
    while (end < text.size() && IsUtf8Continuation(text[end])) ++end;
  }
  return text.substr(0, end);
}

}  // namespace uhf
