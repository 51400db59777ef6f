#pragma once
// Reader of profile (INI) files, following the rules of the Windows profile call the texts were
// written for: section and key names match without regard to ASCII letter case and to blanks
// around them; a value loses the blanks around it and one pair of quotes (" or ') enclosing it
// whole; a value is cut to the caller's buffer size without splitting a character.
//
// The file is taken as bytes: valid UTF-8 (with or without a byte order mark) is used as it is,
// anything else is read as GBK and decoded to UTF-8, bytes that do not convert becoming U+FFFD.
// A file that is valid both ways is read as GBK when its GBK characters are the more plausible
// text (a few common Chinese characters in GBK also form valid, but meaningless, UTF-8).
// Lines end in CR LF, LF or CR. Lines starting with ';' (after blanks), lines without '=' and
// keys before the first section are ignored. When a section appears more than once only its first
// occurrence is searched, and within it the first line of a key wins.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uhf {

class Profile {
 public:
  // A profile without sections: every lookup gives the default.
  Profile() = default;

  static Profile Parse(std::string_view bytes);
  // A missing or unreadable file gives an empty profile.
  static Profile Load(const std::filesystem::path& path);

  // The value of `key` in `section` as UTF-8, or `defaultValue` when the section or the key is
  // missing. A key present with an empty value gives "". The text keeps at most bufferSize - 1
  // bytes of the file's own encoding (so a value read into a 200-byte buffer keeps 199 bytes);
  // the default loses the spaces at its end and is cut the same way.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::size_t bufferSize) const;

 private:
  struct Entry {
    std::string key;    // UTF-8, blanks around it removed
    std::string value;  // the file's bytes, blanks around it removed
  };
  struct Section {
    std::string name;  // UTF-8, blanks around it removed
    std::vector<Entry> entries;
  };

  bool gbk_ = false;
  std::vector<Section> sections_;
};

// GBK bytes to UTF-8 (code page 936); bytes that do not convert become U+FFFD. One
// implementation per platform: iconv, or the system's own code page 936 on Windows.
std::string GbkToUtf8(std::string_view bytes);

// Whether the bytes of a profile file (after a UTF-8 byte order mark, if any) are read as GBK:
// they are not valid UTF-8, or their GBK characters are the more plausible text.
bool ReadsAsGbk(std::string_view fileBytes);

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Where the program looks for its texts: config.ini in the process's current directory. Nothing
// when the current directory cannot be read or is longer than 244 bytes, so that the directory,
// a separator and "config.ini" never exceed 255 bytes; the caller then keeps the default texts.
std::optional<std::filesystem::path> ConfigIniPath();

inline constexpr std::size_t kConfigDirMaxBytes = 244;

}  // namespace uhf
