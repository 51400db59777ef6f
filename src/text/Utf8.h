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

// Bytes of `text` up to the end of its last whole character: a character whose lead byte is there
// but not yet all of its continuation bytes (text written a piece at a time) is left out. Bytes
// that are no UTF-8 at all count as whole.
inline std::size_t CompleteUtf8Length(std::string_view text) {
  std::size_t lead = text.size();
  while (lead > 0 && text.size() - lead < 3 && IsUtf8Continuation(text[lead - 1])) --lead;
  if (lead == 0) return text.size();
  --lead;  // the byte before the continuation bytes (or the last byte)
  const auto byte = static_cast<unsigned char>(text[lead]);
  const std::size_t needed = byte >= 0xF8   ? 1  // no lead byte of UTF-8
                             : byte >= 0xF0 ? 4
                             : byte >= 0xE0 ? 3
                             : byte >= 0xC0 ? 2
                                            : 1;
  return text.size() - lead < needed ? lead : text.size();
}

}  // namespace uhf
