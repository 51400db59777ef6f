#include "tags/CardFormats.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <memory>
#include <vector>

namespace uhf {
namespace {

const std::vector<std::uint8_t> kEpc = {0xE2, 0x00, 0x12, 0x34, 0x56, 0x78,
                                        0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22};

struct CardCase {
  std::vector<std::uint8_t> epc;
  int start;
  WiegandFrame frame;
  bool inverted;
  std::string text;
};

TEST(WiegandCardText, GivesTheZeroPaddedBigEndianWindow) {
  const std::vector<CardCase> cases = {
      {kEpc, 4, WiegandFrame::W34, false, "1450744508"},
      {kEpc, 4, WiegandFrame::W34, true, "3164239958"},
      {kEpc, 4, WiegandFrame::W26, false, "05666970"},
      {kEpc, 4, WiegandFrame::W26, true, "10123350"},
      {{0x00, 0x00, 0x01}, 0, WiegandFrame::W26, false, "00000001"},
      {{0x01, 0x00, 0x00}, 0, WiegandFrame::W26, true, "00000001"},
      {{0xFF, 0xFF, 0xFF, 0xFF}, 0, WiegandFrame::W34, false, "4294967295"},
      {{0x00, 0x00, 0x01, 0x00}, 0, WiegandFrame::W34, false, "0000000256"},
      {{0xFF, 0xFF, 0xFF}, 0, WiegandFrame::W26, false, "16777215"},
      {{0x00, 0x00, 0x00, 0x00}, 0, WiegandFrame::W34, true, "0000000000"},
      {{0x12, 0x34, 0x12}, 0, WiegandFrame::W26, false, "01192978"},
      {{0x12, 0x34, 0x12}, 0, WiegandFrame::W26, true, "01192978"},
      // The window may end exactly at the last EPC byte.
      {kEpc, 9, WiegandFrame::W26, false, "15733026"},
      {kEpc, 8, WiegandFrame::W34, true, "0571601118"},
  };
  for (const CardCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " inverted " << c.inverted);
    const std::string text = WiegandCardText(c.epc, c.start, c.frame, c.inverted);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(text.size(), c.frame == WiegandFrame::W34 ? 10u : 8u);
  }
}

TEST(WiegandCardText, WindowOutsideTheEpcGivesNoTextInsteadOfReadingPastIt) {
  // Exactly sized heap copy so that a read past the end shows under the address sanitizer.
  const auto bytes = std::make_unique<std::uint8_t[]>(kEpc.size());
  std::copy(kEpc.begin(), kEpc.end(), bytes.get());
  const std::span<const std::uint8_t> epc(bytes.get(), kEpc.size());
  EXPECT_EQ(WiegandCardText(epc, 10, WiegandFrame::W26, false), "");
  EXPECT_EQ(WiegandCardText(epc, 9, WiegandFrame::W34, false), "");
  EXPECT_EQ(WiegandCardText(epc, 12, WiegandFrame::W26, false), "");
  EXPECT_EQ(WiegandCardText(epc, 1000, WiegandFrame::W34, true), "");
  EXPECT_EQ(WiegandCardText(epc, -1, WiegandFrame::W26, false), "");
  EXPECT_EQ(WiegandCardText({}, 0, WiegandFrame::W26, false), "");
}

TEST(ByteToHex, EveryByteIsTwoLowercaseDigitsThatReadBack) {
  for (int v = 0; v < 256; ++v) {
    const std::string hex = ByteToHex(static_cast<std::uint8_t>(v));
    ASSERT_EQ(hex.size(), 2u) << v;
    for (char c : hex) {
      EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << v << " gives " << hex;
    }
    std::uint8_t back = 0;
    HexTextToBytes(hex, 1, &back);
    EXPECT_EQ(back, v) << hex;
  }
  EXPECT_EQ(ByteToHex(0x0A), "0a");
  EXPECT_EQ(ByteToHex(0xAB), "ab");
  EXPECT_EQ(ByteToHex(0), "00");

  std::string epcText;
  for (std::uint8_t b : kEpc) epcText += ByteToHex(b);
  EXPECT_EQ(epcText, "e200123456789abcdef01122");
}

TEST(ParseCount, ReadsAtMostThreeCharacters) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 0},      {"0", 0},      {"7", 7},       {"42", 42}, {"123", 123},
      {"999", 999}, {"1000", 100}, {"12345", 123}, {"007", 7},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseCount(text), value) << text;
  // Counts written by FormatCount read back while they have three digits at most.
  for (int v = 0; v <= 999; ++v) ASSERT_EQ(ParseCount(FormatCount(v)), v);
}

TEST(ParseCount, StopsAtTheViewEnd) {
  const std::string text = "4567";
  EXPECT_EQ(ParseCount(std::string_view(text).substr(0, 2)), 45);
  EXPECT_EQ(ParseCount(std::string_view(text).substr(0, 0)), 0);
}

struct HexCase {
  std::string text;
  std::vector<std::uint8_t> bytes;
};

TEST(HexTextToBytes, ReadsEachPairTheWayScanfHexDoes) {
  const std::vector<HexCase> cases = {
      {"0A", {0x0A}},
      {"0a", {0x0A}},
      {"ff", {0xFF}},
      {"7C1E94B2", {0x7C, 0x1E, 0x94, 0xB2}},
      {"7c1e94b2", {0x7C, 0x1E, 0x94, 0xB2}},
      {"ABC", {0xAB, 0x0C}},       // the last piece has one character
      {"AB", {0xAB, 0x00, 0x00}},  // pieces past the end give 0
      {"", {0x00}},
      {"zz", {0x00}},  // no hexadecimal digit
      {"g1", {0x00}},  // reading stops at the first other character
      {"1g", {0x01}},
      {" f", {0x0F}},  // leading white space is skipped
      {"\tA", {0x0A}},
      {"f ", {0x0F}},
      {"+a", {0x0A}},
      {"-1", {0xFF}},  // scanf takes a sign; the low 8 bits count
      {"0x", {0x00}},
      {"12 4x9", {0x12, 0x04, 0x00}},  // pieces never run into each other
  };
  for (const HexCase& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::uint8_t> out(c.bytes.size(), 0xEE);
    HexTextToBytes(c.text, static_cast<int>(out.size()), out.data());
    EXPECT_EQ(out, c.bytes);
  }
}

TEST(HexTextToBytes, NeverReadsPastTheTextOrWritesPastTheCount) {
  // The view ends inside a longer string: the character after it must not count.
  const std::string storage = "ABCD";
  std::array<std::uint8_t, 3> out{0xEE, 0xEE, 0xEE};
  HexTextToBytes(std::string_view(storage).substr(0, 3), 2, out.data());
  EXPECT_EQ(out[0], 0xAB);
  EXPECT_EQ(out[1], 0x0C);
  EXPECT_EQ(out[2], 0xEE);

  // An exactly sized heap buffer without terminator, for the address sanitizer.
  const auto bytes = std::make_unique<char[]>(1);
  bytes[0] = '9';
  std::uint8_t one = 0xEE;
  HexTextToBytes(std::string_view(bytes.get(), 1), 1, &one);
  EXPECT_EQ(one, 0x09);

  out = {0xEE, 0xEE, 0xEE};
  HexTextToBytes("1234", 0, out.data());
  HexTextToBytes("1234", -3, out.data());
  EXPECT_EQ(out, (std::array<std::uint8_t, 3>{0xEE, 0xEE, 0xEE}));
}

}  // namespace
}  // namespace uhf
