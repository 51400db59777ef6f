#include "text/Profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;
using test::CurrentDirectory;
using test::TempDir;

constexpr std::size_t kBuffer = 200;

std::string Get(std::string_view file, std::string_view section, std::string_view key,
                std::string_view defaultValue = "DEFAULT", std::size_t bufferSize = kBuffer) {
  return Profile::Parse(file).GetString(section, key, defaultValue, bufferSize);
}

struct LookupCase {
  std::string file;
  std::string section;
  std::string key;
  std::string expected;
};

void RunCases(const std::vector<LookupCase>& cases) {
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "file <" << c.file << "> [" << c.section << "] <" << c.key << ">");
    EXPECT_EQ(Get(c.file, c.section, c.key), c.expected);
  }
}

TEST(Profile, NamesMatchIgnoringCaseAndSurroundingBlanks) {
  RunCases({
      {"[Lan]\nLENGTH=x\n", "Lan", "LENGTH ", "x"},
      {"[Lan]\nlength = x\n", "Lan", "LENGTH ", "x"},
      {"[lan]\nLength\t=\tx\n", "LAN", "length", "x"},
      {"  [ Lan ]  \n   LENGTH   =x\n", "Lan", " LENGTH", "x"},
      {"[Lan]\nLENGTH=x\n", " lAn ", "LENGTH", "x"},
      {"[Lan]\nLENGTH=Länge\n", "Lan", "LENGTH ", "Länge"},
      {"[Lan]\nlength=Länge\n", "Lan", "LENGTH ", "Länge"},
      // Names must still match as a whole.
      {"[Lan]\nLENGTHS=x\n", "Lan", "LENGTH", "DEFAULT"},
      {"[Lan]\nLENGTH=x\n", "Lan", "LENGT", "DEFAULT"},
      {"[Lang]\nLENGTH=x\n", "Lan", "LENGTH", "DEFAULT"},
      {"[L an]\nLENGTH=x\n", "Lan", "LENGTH", "DEFAULT"},
  });
}

TEST(Profile, ValueLosesSurroundingBlanksAndOneEnclosingPairOfQuotes) {
  RunCases({
      {"[Lan]\nK=  a b  \n", "Lan", "K", "a b"},
      {"[Lan]\nK=\t a\t\n", "Lan", "K", "a"},
      {"[Lan]\nK=\"a b\"\n", "Lan", "K", "a b"},
      {"[Lan]\nK='a b'\n", "Lan", "K", "a b"},
      {"[Lan]\nK=  \" a \"  \n", "Lan", "K", " a "},
      {"[Lan]\nK=\"\"\n", "Lan", "K", ""},
      {"[Lan]\nK=\"\n", "Lan", "K", "\""},
      {"[Lan]\nK=\"a'\n", "Lan", "K", "\"a'"},
      {"[Lan]\nK=\"a\" b\n", "Lan", "K", "\"a\" b"},
      {"[Lan]\nK=a\"b\"\n", "Lan", "K", "a\"b\""},
      {"[Lan]\nK=\"\"a\"\"\n", "Lan", "K", "\"a\""},
      {"[Lan]\nK=a=b\n", "Lan", "K", "a=b"},
      {"[Lan]\nK=a ; not a comment\n", "Lan", "K", "a ; not a comment"},
  });
}

TEST(Profile, EmptyValueIsNotMissing) {
  RunCases({
      {"[Lan]\nRF_HZ=\n", "Lan", "RF_HZ", ""},
      {"[Lan]\nRF_HZ=   \n", "Lan", "RF_HZ", ""},
      {"[Lan]\nRF_HZ\n", "Lan", "RF_HZ", "DEFAULT"},  // no '=': ignored
      {"[Lan]\nOTHER=x\n", "Lan", "RF_HZ", "DEFAULT"},
      {"[Other]\nRF_HZ=x\n", "Lan", "RF_HZ", "DEFAULT"},
      {"RF_HZ=x\n[Lan]\n", "Lan", "RF_HZ", "DEFAULT"},  // before any section
      {"[Lan]\n=x\n", "Lan", "", "DEFAULT"},
      {"", "Lan", "RF_HZ", "DEFAULT"},
      {"[Lan\nRF_HZ=x\n", "Lan", "RF_HZ", "DEFAULT"},  // broken header opens no section
  });
}

TEST(Profile, CommentLinesAreSkipped) {
  RunCases({
      {"[Lan]\n;RF_HZ=x\nRF_HZ=y\n", "Lan", "RF_HZ", "y"},
      {"[Lan]\n   ; RF_HZ=x\n", "Lan", "RF_HZ", "DEFAULT"},
      {";[Lan]\nRF_HZ=x\n", "Lan", "RF_HZ", "DEFAULT"},
      {"; comment\n[Lan]\n\t;x=1\nRF_HZ=x\n", "Lan", "RF_HZ", "x"},
  });
}

TEST(Profile, HashStartsAKeyNotAComment) {
  // The platform's reader knows only ';' comments: "#KEY=v" is a key named "#KEY".
  RunCases({
      {"[Lan]\n#RF_HZ=x\n", "Lan", "#RF_HZ", "x"},
      {"[Lan]\n  # RF_HZ = x\n", "Lan", "# RF_HZ", "x"},
      {"[Lan]\n#RF_HZ=x\nRF_HZ=y\n", "Lan", "RF_HZ", "y"},
      {"[Lan]\n#RF_HZ=x\n", "Lan", "RF_HZ", "DEFAULT"},
  });
}

TEST(Profile, FirstSectionAndFirstKeyWin) {
  const std::string file =
      "[Lan]\nA=1\nb=2\nB=3\n[Other]\nA=9\nC=9\n[LAN]\nA=4\nC=5\n[Other]\nD=6\n";
  EXPECT_EQ(Get(file, "Lan", "A"), "1");
  EXPECT_EQ(Get(file, "Lan", "B"), "2");
  // A repeated section is not searched.
  EXPECT_EQ(Get(file, "Lan", "C"), "DEFAULT");
  EXPECT_EQ(Get(file, "Other", "A"), "9");
  EXPECT_EQ(Get(file, "Other", "D"), "DEFAULT");
}

TEST(Profile, LinesEndInCrLfLfOrCr) {
  const std::vector<std::string> files = {
      "[Lan]\r\nA=1\r\nB=2\r\n",     "[Lan]\nA=1\nB=2\n",
      "[Lan]\rA=1\rB=2\r",           "[Lan]\r\n\r\nA=1\r\rB=2",
      "\xEF\xBB\xBF[Lan]\nA=1\nB=2",  // byte order mark
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Get(file, "Lan", "A"), "1");
    EXPECT_EQ(Get(file, "Lan", "B"), "2");
  }
}

TEST(Profile, ValueKeepsAtMostBufferSizeMinusOneBytes) {
  const std::string longValue(250, 'x');
  EXPECT_EQ(Get("[Lan]\nK=" + longValue, "Lan", "K"), std::string(199, 'x'));
  EXPECT_EQ(Get("[Lan]\nK=\"" + longValue + "\"", "Lan", "K"), std::string(199, 'x'));
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(199, 'y'), "Lan", "K"), std::string(199, 'y'));
  EXPECT_EQ(Get("[Lan]\nK=abc", "Lan", "K", "DEFAULT", 3), "ab");
  EXPECT_EQ(Get("[Lan]\nK=abc", "Lan", "K", "DEFAULT", 1), "");
  EXPECT_EQ(Get("[Lan]\nK=abc", "Lan", "K", "DEFAULT", 0), "");
  // The default is cut the same way.
  EXPECT_EQ(Get("", "Lan", "K", "DEFAULT", 4), "DEF");
}

TEST(Profile, TruncationNeverSplitsAUtf8Character) {
  const std::string zhong = "中";  // three bytes
  const std::string ae = "ä";      // two bytes
  // A character that would end after byte 199 is left out whole.
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(198, 'a') + zhong, "Lan", "K"), std::string(198, 'a'));
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(197, 'a') + zhong, "Lan", "K"), std::string(197, 'a'));
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(196, 'a') + zhong + "b", "Lan", "K"),
            std::string(196, 'a') + zhong);
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(197, 'a') + ae + "b", "Lan", "K"),
            std::string(197, 'a') + ae);
}

TEST(Profile, NonUtf8FileIsReadAsGbk) {
  const Profile profile = Profile::Parse("[Lan]\r\nRF_POWER=\xB9\xA6\xC2\xCA\r\nX=\xD6\xD0\r\n");
  EXPECT_EQ(profile.GetString("Lan", "RF_POWER", "", kBuffer), "功率");
  EXPECT_EQ(profile.GetString("Lan", "X", "", kBuffer), "中");

  // Bytes that do not convert become U+FFFD; the rest of the value survives.
  EXPECT_EQ(Get("[Lan]\nK=a\xFF"
                "b\n",
                "Lan", "K"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Get("[Lan]\nK=\xD6\n", "Lan", "K"), "\xEF\xBF\xBD");  // lead byte at the line end
  // A lead byte without a valid trail byte stands alone; the byte after it is read afresh.
  EXPECT_EQ(Get("[Lan]\nK=\xD6 b\xD0\x7F\n", "Lan", "K"), "\xEF\xBF\xBD b\xEF\xBF\xBD\x7F");

  // One stray byte makes the whole file GBK, also the parts that looked like UTF-8.
  const Profile mixed = Profile::Parse("[Lan]\nA=\xD6\xD0\nB=\xFF\n");
  EXPECT_EQ(mixed.GetString("Lan", "A", "", kBuffer), "中");

  EXPECT_EQ(Profile::Parse("[Lan]\nA=中\n").GetString("Lan", "A", "", kBuffer), "中");
}

TEST(Profile, GbkSectionNameMayHoldACloseBracketAsTrailByte) {
  // 0x81 0x5D is one GBK character whose second byte is ']'.
  const std::string file = "[\x81\x5D]\nK=v\n";
  EXPECT_EQ(Get(file, "乚", "K"), "v");
}

TEST(Profile, GbkTruncationNeverSplitsADoubleByteCharacter) {
  const std::string zhong = "\xD6\xD0";
  // 198 + 2 bytes would end after byte 199: the character goes whole.
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(198, 'a') + zhong, "Lan", "K"), std::string(198, 'a'));
  EXPECT_EQ(Get("[Lan]\nK=" + std::string(197, 'a') + zhong + "b", "Lan", "K"),
            std::string(197, 'a') + "中");
  // The limit counts the file's bytes, not the longer UTF-8 it becomes: 99 characters.
  std::string many;
  for (int i = 0; i < 120; ++i) many += zhong;
  std::string expected;
  for (int i = 0; i < 99; ++i) expected += "中";
  EXPECT_EQ(Get("[Lan]\nK=" + many, "Lan", "K"), expected);
}

TEST(Profile, DefaultLosesTrailingSpacesOnly) {
  EXPECT_EQ(Get("[Lan]\n", "Lan", "K", "default  "), "default");
  EXPECT_EQ(Get("", "Lan", "K", "one two  "), "one two");
  EXPECT_EQ(Get("", "Lan", "K", "  lead"), "  lead");
  EXPECT_EQ(Get("", "Lan", "K", "   "), "");
  // A value found in the file is not a default: its own rules apply.
  EXPECT_EQ(Get("[Lan]\nK=\"v  \"\n", "Lan", "K", "d  "), "v  ");
}

TEST(Profile, NulByteEndsTheValue) {
  EXPECT_EQ(Get(std::string("[Lan]\nK=ab\0cd\n", 13), "Lan", "K"), "ab");
}

TEST(Utf8Check, AcceptsWellFormedAndRejectsTheRest) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"plain", true},
      {"中ä\xF0\x9F\x98\x80", true},
      {"\xC3", false},              // cut short
      {"\xC0\xAF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE4\xB8", false},
      {"\xE4\x41\xAD", false},
      {"\x80", false},
      {"\xFF", false},
  };
  for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
}

TEST(Profile, LoadReadsTheFileAndToleratesMissingOnes) {
  TempDir dir;
  const fs::path file = dir.path() / "config.ini";
  {
    std::ofstream out(file, std::ios::binary);
    out << "[Lan]\r\nRF_HZ=MHz\r\n";
  }
  EXPECT_EQ(Profile::Load(file).GetString("Lan", "RF_HZ", "kHz", kBuffer), "MHz");
  EXPECT_EQ(Profile::Load(dir.path() / "missing.ini").GetString("Lan", "RF_HZ", "kHz", kBuffer),
            "kHz");
  EXPECT_EQ(Profile::Load(dir.path()).GetString("Lan", "RF_HZ", "kHz", kBuffer), "kHz");
}

}  // namespace
}  // namespace uhf
