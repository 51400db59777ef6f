#pragma once
// File names as UTF-8 text and back. On Windows a path built from a narrow string, or printed as
// one, goes through the ANSI code page, which loses every character outside it (a Chinese name
// becomes "??"); through char8_t the conversion is UTF-8 on every platform.

#include <filesystem>
#include <string>
#include <string_view>

namespace uhf {

inline std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace uhf
