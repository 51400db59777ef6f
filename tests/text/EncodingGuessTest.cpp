#include "text/EncodingGuess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Profile.h"

namespace uhf {
namespace {

struct GuessCase {
  std::string bytes;
  bool gbk;
  const char* why;
};

TEST(EncodingGuess, GbkThatHappensToBeValidUtf8IsReadAsGbk) {
  const std::vector<GuessCase> cases = {
      // 指示, 取 and 时 in GBK are valid UTF-8 (Hebrew point, modifier letters, Latin Ext-B).
      {"\xD6\xB8\xCA\xBE", true, "指示"},
      {"K=\xC8\xA1\r\n", true, "取 alone in a value"},
      {"K=\xCA\xB1\r\n", true, "时 alone in a value"},
      {"A=\xD6\xB8\xCA\xBE\nB=\xC8\xA1\n", true, "several values"},
      // Real UTF-8 stays UTF-8.
      {"LENGTH=L\xC3\xA4nge\n", false, "Länge: a letter between letters"},
      {"T=25\xC2\xB0"
       "C\n",
       false, "degree sign beside digits"},
      {"K=\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n", false, "Cyrillic word"},
      {"K=\xE8\xAF\xBB\xE5\x8F\x96\n", false, "读取 in UTF-8"},
      {"K=\xE4\xB8\xAD\n", false, "中 in UTF-8"},
      {"K=Rom\xC3\xA2n\xC4\x83\n", false, "Romanian"},
      {"K=plain\n", false, "ASCII only"},
      {"", false, "empty"},
  };
  for (const GuessCase& c : cases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(IsValidUtf8(c.bytes));
    EXPECT_EQ(GbkReadsBetterThanUtf8(c.bytes), c.gbk);
  }
}

TEST(EncodingGuess, ValueEndingInAnAccentedLetterStaysUtf8) {
  // The letter's GBK reading is a common character too; its neighbour before it makes it a
  // letter even with nothing after it.
  for (const std::string value : {"caf\xC3\xA9", "Jos\xC3\xA9", "Andr\xC3\xA9"}) {
    SCOPED_TRACE(value);
    for (const std::string ending : {"", "\n", "\r\n"}) {
      const std::string file = "[Lan]\r\nMODE_S=" + value + ending;
      EXPECT_FALSE(ReadsAsGbk(file));
      EXPECT_EQ(Profile::Parse(file).GetString("Lan", "MODE_S", "", 200), value);
    }
  }
}

TEST(EncodingGuess, ProfileReadsSuchAFileAsGbk) {
  // "[Lan]\nMODE_S=时\nRF_HZ=指示" written in GBK: every byte sequence is valid UTF-8.
  const std::string gbk = "[Lan]\r\nMODE_S=\xCA\xB1\r\nRF_HZ=\xD6\xB8\xCA\xBE\r\n";
  EXPECT_TRUE(ReadsAsGbk(gbk));
  const Profile profile = Profile::Parse(gbk);
  EXPECT_EQ(profile.GetString("Lan", "MODE_S", "", 200), "时");
  EXPECT_EQ(profile.GetString("Lan", "RF_HZ", "", 200), "指示");

  const std::string text = "[Lan]\nLENGTH=L\xC3\xA4nge\nX=\xE6\x97\xB6\n";
  EXPECT_FALSE(ReadsAsGbk(text));
  EXPECT_FALSE(ReadsAsGbk("\xEF\xBB\xBF" + text));  // with a byte order mark
  const Profile utf8 = Profile::Parse(text);
  EXPECT_EQ(utf8.GetString("Lan", "LENGTH", "", 200), "Länge");
  EXPECT_EQ(utf8.GetString("Lan", "X", "", 200), "时");
}

}  // namespace
}  // namespace uhf
