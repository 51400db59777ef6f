#include "text/Profile.h"

#include <exception>
#include <fstream>
#include <iterator>
#include <system_error>

#include "text/EncodingGuess.h"
#include "text/Utf8.h"

namespace uhf {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

unsigned char Byte(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]);
}

// Length in bytes of the GBK character at `at`: a lead byte 0x81..0xFE with a trail byte
// 0x40..0xFE (not 0x7F) makes two bytes; anything else stands alone. Blanks, quotes, '=', ';',
// CR and LF are never trail bytes, but '[' and ']' can be.
std::size_t GbkCharLength(std::string_view text, std::size_t at) {
  const unsigned char lead = Byte(text, at);
  if (lead >= 0x81 && lead <= 0xFE && at + 1 < text.size()) {
    const unsigned char trail = Byte(text, at + 1);
    if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) return 2;
  }
  return 1;
}

// The longest prefix of GBK `text` with at most `maxBytes` bytes that ends on a character
// boundary.
std::string_view GbkPrefix(std::string_view text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + GbkCharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

// Position of the first `wanted` byte that starts a character, or npos.
std::size_t FindChar(std::string_view text, char wanted, bool gbk) {
  for (std::size_t at = 0; at < text.size(); at += gbk ? GbkCharLength(text, at) : 1) {
    if (text[at] == wanted) return at;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = Byte(bytes, i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // no overlong forms
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    const unsigned char second = Byte(bytes, i + 1);
    if (second < low || second > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      if ((Byte(bytes, i + k) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

bool ReadsAsGbk(std::string_view fileBytes) {
  if (fileBytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) fileBytes.remove_prefix(kUtf8Bom.size());
  return !IsValidUtf8(fileBytes) || GbkReadsBetterThanUtf8(fileBytes);
}

Profile Profile::Parse(std::string_view bytes) {
  Profile profile;
  profile.gbk_ = ReadsAsGbk(bytes);
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  const bool gbk = profile.gbk_;
  const auto toUtf8 = [gbk](std::string_view text) {
    return gbk ? GbkToUtf8(text) : std::string(text);
  };

  Section* current = nullptr;  // null before the first section and inside a repeated one
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    // CR LF ends one line, not two.
    pos = end + ((end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ? 2 : 1);

    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.empty() || line.front() == ';') continue;

    if (line.front() == '[') {
      const std::size_t close = FindChar(line.substr(1), ']', gbk);
      if (close == std::string_view::npos) continue;
      std::string name = toUtf8(TrimBlanks(line.substr(1, close)));
      current = nullptr;
      bool repeated = false;
      for (const Section& section : profile.sections_) {
        repeated = repeated || EqualsIgnoringCase(section.name, name);
      }
      if (!repeated) {
        profile.sections_.push_back(Section{std::move(name), {}});
        current = &profile.sections_.back();
      }
      continue;
    }

    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || current == nullptr) continue;
    std::string key = toUtf8(TrimBlanks(line.substr(0, equals)));
    if (key.empty()) continue;
    bool known = false;
    for (const Entry& entry : current->entries) known = known || EqualsIgnoringCase(entry.key, key);
    if (known) continue;
    current->entries.push_back(
        Entry{std::move(key), std::string(TrimBlanks(line.substr(equals + 1)))});
  }
  return profile;
}

Profile Profile::Load(const std::filesystem::path& path) {
  // Only a regular file is read: a FIFO or device could block or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  std::string bytes;
  try {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    // The stream buffer throws when the path names something unreadable, such as a directory.
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) return {};
  } catch (const std::exception&) {
    return {};
  }
  return Parse(bytes);
}

std::string Profile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t bufferSize) const {
  if (bufferSize == 0) return {};
  const std::size_t maxBytes = bufferSize - 1;
  section = TrimBlanks(section);
  key = TrimBlanks(key);

  const Section* found = nullptr;
  for (const Section& candidate : sections_) {
    if (EqualsIgnoringCase(candidate.name, section)) {
      found = &candidate;
      break;
    }
  }
  if (found != nullptr) {
    for (const Entry& entry : found->entries) {
      if (!EqualsIgnoringCase(entry.key, key)) continue;
      std::string_view value = entry.value;
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      // The caller gets a C string: a NUL byte ends the value.
      value = value.substr(0, value.find('\0'));
      if (gbk_) return GbkToUtf8(GbkPrefix(value, maxBytes));
      return std::string(Utf8Prefix(value, maxBytes));
    }
  }
  // As the platform's reader does, the default loses the spaces at its end.
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return std::string(Utf8Prefix(defaultValue, maxBytes));
}

std::optional<std::filesystem::path> ConfigIniPath() {
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::current_path(error);
  if (error || directory.empty() || directory.native().size() > kConfigDirMaxBytes) {
    return std::nullopt;
  }
  return directory / "config.ini";
}

}  // namespace uhf
