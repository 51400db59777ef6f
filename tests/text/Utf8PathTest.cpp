// File names as UTF-8 text, and UTF-8 written a piece at a time.
#include <gtest/gtest.h>

#include <string>

#include "text/Utf8.h"
#include "text/Utf8Path.h"

namespace uhf {
namespace {

TEST(Utf8Path, ChineseNamesSurviveTheWayToAPathAndBack) {
  const std::string names[] = {"配置.ini", "C:\\用户\\张三\\AppData\\Local", "plain.ini",
                               "名前/テスト 😀.ini"};
  for (const std::string& name : names) {
    EXPECT_EQ(PathText(Utf8Path(name)), name);
  }
#ifdef _WIN32
  // What the wide file calls get: UTF-16 of the same characters, not the ANSI code page's "??".
  EXPECT_EQ(Utf8Path("配置.ini").wstring(), L"\u914D\u7F6E.ini");
  EXPECT_EQ(PathText(std::filesystem::path(L"\u914D\u7F6E.ini")), "配置.ini");
#endif
}

TEST(Utf8, CompleteLengthLeavesOutACharacterCutAtTheEnd) {
  struct Case {
    std::string text;
    std::size_t complete;
  };
  // 连 is E8 BF 9E, 😀 is F0 9F 98 80.
  const Case cases[] = {
      {"", 0},
      {"abc\n", 4},
      {"\xE8\xBF\x9E", 3},
      {"a\xE8", 1},
      {"a\xE8\xBF", 1},
      {"a\xE8\xBF\x9E", 4},
      {"\xF0\x9F\x98", 0},
      {"x\xF0\x9F\x98\x80", 5},
      {"\xC3", 0},
      {"\xC3\xA9", 2},
      // Not UTF-8 at all: passed on as it is.
      {"\x80\x80\x80\x80", 4},
      {"ab\xFF", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompleteUtf8Length(c.text), c.complete) << "text of " << c.text.size() << " bytes";
  }
}

}  // namespace
}  // namespace uhf
