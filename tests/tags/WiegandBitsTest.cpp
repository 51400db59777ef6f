// Wiegand frames of known card numbers: the data bits of 26- and 34-bit frames from the tag
// 0xE2 00 12 34 56 78 9A BC DE F0 11 22 at start byte 4, output forward and inverted. Parities
// worked out by hand: the leading bit makes the ones of the first half even, the trailing bit
// makes the ones of the second half odd.
#include <gtest/gtest.h>

#include "tags/WiegandBits.h"

namespace uhf {
namespace {

struct Known {
  const char* cardText;
  int bits;
  std::uint32_t facility;
  std::uint32_t card;
  int even;
  int odd;
  const char* frame;
};

TEST(WiegandBits, KnownFramesSplitAndCarryBothParities) {
  const Known frames[] = {
      // 26 bits forward: 56 78 9a, first 12 bits hold 7 ones, last 12 bits 5.
      {"05666970", 26, 0x56, 0x789a, 1, 0,
       "1"
       "010101100111100010011010"
       "0"},
      // 26 bits inverted: 9a 78 56, 7 ones and 5 ones.
      {"10123350", 26, 0x9a, 0x7856, 1, 0,
       "1"
       "100110100111100001010110"
       "0"},
      // 34 bits forward: 56 78 9a bc, 8 ones and 9 ones.
      {"1450744508", 34, 0x5678, 0x9abc, 0, 0,
       "0"
       "01010110011110001001101010111100"
       "0"},
      // 34 bits inverted: bc 9a 78 56, 9 ones and 8 ones.
      {"3164239958", 34, 0xbc9a, 0x7856, 1, 1,
       "1"
       "10111100100110100111100001010110"
       "1"},
  };
  for (const Known& known : frames) {
    SCOPED_TRACE(known.cardText);
    const auto frame = WiegandFrameOfCardText(known.cardText);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->bits, known.bits);
    EXPECT_EQ(frame->facilityCode, known.facility);
    EXPECT_EQ(frame->cardNumber, known.card);
    EXPECT_EQ(frame->evenParity, known.even);
    EXPECT_EQ(frame->oddParity, known.odd);
    EXPECT_EQ(frame->bitString, known.frame);
    EXPECT_EQ(frame->bitString.size(), static_cast<std::size_t>(known.bits));
  }
}

TEST(WiegandBits, ExtremesOfBothFrames) {
  // All zero: even parity 0, odd parity 1. All ones: 12 (or 16) ones per half.
  EXPECT_EQ(WiegandFrameOf(0, 26).bitString, std::string("0") + std::string(24, '0') + "1");
  EXPECT_EQ(WiegandFrameOf(0xffffff, 26).bitString, std::string("0") + std::string(24, '1') + "1");
  const WiegandFrameBits top = WiegandFrameOf(0xffffffff, 34);
  EXPECT_EQ(top.bitString, std::string("0") + std::string(32, '1') + "1");
  EXPECT_EQ(top.facilityCode, 0xffffu);
  EXPECT_EQ(top.cardNumber, 0xffffu);
}

// The line the companion prints under a row and the window shows for the selected row.
TEST(WiegandBits, DetailLineNamesEveryPart) {
  EXPECT_EQ(WiegandDetailText(*WiegandFrameOfCardText("10123350")),
            "Wiegand 26: facility 154, card 30806, parity even 1 odd 0, frame "
            "11001101001111000010101100");
}

TEST(WiegandBits, OnlyEightOrTenDigitsAreCardNumbers) {
  EXPECT_FALSE(WiegandFrameOfCardText("e200123456789abc"));
  EXPECT_FALSE(WiegandFrameOfCardText("1234567"));
  EXPECT_FALSE(WiegandFrameOfCardText("1234567x"));
  EXPECT_FALSE(WiegandFrameOfCardText("16777216"));    // beyond 24 bits
  EXPECT_FALSE(WiegandFrameOfCardText("4294967296"));  // beyond 32 bits
  EXPECT_TRUE(WiegandFrameOfCardText("16777215"));
}

}  // namespace
}  // namespace uhf
