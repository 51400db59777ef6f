// Encodings of the reader settings and the frequency plans, on their own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "ReaderTestSupport.h"
#include "dialog/MainDialogTemplate.h"
#include "reader/FrequencyPlan.h"
#include "reader/ReaderSettings.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

using ::testing::ElementsAre;
using uhf::testing::ComboItems;

using Bytes4 = std::array<std::uint8_t, 4>;

TEST(PasswordText, PiecesOfTwoCharactersBecomeBytes) {
  struct Case {
    const char* text;
    Bytes4 bytes;
  };
  const Case cases[] = {
      {"7C1E94B2", {0x7c, 0x1e, 0x94, 0xb2}},
      {"7c1e94b2", {0x7c, 0x1e, 0x94, 0xb2}},  // case of the digits does not matter
      {"", {0, 0, 0, 0}},                      // missing pieces send 0
      {"ab", {0xab, 0, 0, 0}},
      {"abc", {0xab, 0x0c, 0, 0}},         // a last single character is a piece of its own
      {"zz12", {0, 0x12, 0, 0}},           // no hexadecimal digit gives 0
      {"0102030405060708", {1, 2, 3, 4}},  // only four pieces, nothing beyond the record
      {"读取成功", {0, 0, 0, 0}},          // multi-byte text: bytes are pieces, no overrun
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PasswordTextToBytes(c.text), c.bytes) << c.text;
  }
  EXPECT_EQ(PasswordBytesToText({0x7C, 0x1E, 0x94, 0xB2}), "7c1e94b2");
  EXPECT_EQ(PasswordBytesToText({0, 0x0a, 0xff, 1}), "000aff01");
}

TEST(SerialNumber, ShowsTwelveBytesInLowercaseHex) {
  const std::array<std::uint8_t, 12> serial{0x00, 0x0A, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 0x9c};
  EXPECT_EQ(SerialNumberText(serial), "SN:000aff01020304050607089c");
}

TEST(LinkInputs, BaudRateAndSerialPortNumber) {
  const std::pair<int, std::int32_t> bauds[] = {{-1, 9600}, {0, 9600},   {1, 19200}, {2, 38400},
                                                {3, 57600}, {4, 115200}, {5, 9600}};
  for (auto [item, baud] : bauds) EXPECT_EQ(BaudRateForItem(item), baud) << item;

  const std::pair<const char*, std::int32_t> ports[] = {
      {"COM3", 2},  {"COM12", 11}, {"COM1", 0},
      {"COM", -1},  {"", -1},      {"CO", -1},
      {"COMx", -1}, {"COM7a", 6},  {"COM99999999999", INT32_MAX - 1}};
  for (auto [name, port] : ports) EXPECT_EQ(SerialPortNumber(name), port) << name;
}

TEST(PowerList, ItemsAndSelectedLevelByReaderKind) {
  struct Case {
    std::uint8_t kind;
    std::uint8_t level;
    int count;
    std::string firstItem;
    std::string lastItem;
    int selected;
  };
  const Case cases[] = {
      {0, 33, 34, "0", "33", 33}, {0, 34, 34, "0", "33", -1},  // above the list: no selection
      {1, 20, 9, "18", "26", 2},  {1, 26, 9, "18", "26", 8},
      {1, 17, 9, "18", "26", -1},  // below the list: no selection
      {2, 63, 64, "0", "63", 63},
  };
  for (const auto& c : cases) {
    MemorySurface s{MainDialogTemplate()};
    ShowPowerLevel(s, c.kind, c.level);
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << " level " << int(c.level));
    EXPECT_EQ(s.ComboCount(idc::Power), c.count);
    EXPECT_EQ(s.ComboItem(idc::Power, 0), c.firstItem);
    EXPECT_EQ(s.ComboItem(idc::Power, c.count - 1), c.lastItem);
    EXPECT_EQ(s.ComboGetSel(idc::Power), c.selected);
  }
  // Another kind leaves the list and its selection alone.
  MemorySurface s{MainDialogTemplate()};
  s.ComboAdd(idc::Power, "x");
  s.ComboSetSel(idc::Power, 0);
  ShowPowerLevel(s, 3, 20);
  EXPECT_THAT(ComboItems(s, idc::Power), ElementsAre("x"));
  EXPECT_EQ(s.ComboGetSel(idc::Power), 0);
}

TEST(RegionChannels, RowsWithoutChannelsAndTheSpecialRows) {
  EXPECT_EQ(RegionChannelTable().size(), 25u);
  EXPECT_EQ(RegionChannelTable()[13].name, "13--Brazil 902-907/915-928(Brazil)");
  EXPECT_TRUE(RegionChannels(5).empty());
  EXPECT_TRUE(RegionChannels(14).empty());
  EXPECT_TRUE(RegionChannels(-1).empty());
  EXPECT_TRUE(RegionChannels(25).empty());
  EXPECT_THAT(RegionChannels(20), ElementsAre(916250));

  const auto canada = RegionChannels(22);
  ASSERT_EQ(canada.size(), 42u);
  EXPECT_THAT(std::vector<std::int32_t>(canada.begin(), canada.begin() + 5),
              ElementsAre(902750, 903250, 905750, 907250, 907750));
  EXPECT_EQ(canada.back(), 926250);

  const auto fcc = RegionChannels(0);
  ASSERT_EQ(fcc.size(), 63u);
  EXPECT_EQ(fcc.front(), 902600);
  EXPECT_EQ(fcc.back(), 927400);
}

// Every row of the region table, as the table of regions gives it, and the items it fills.
TEST(RegionChannels, EveryRowOfTheTable) {
  const RegionChannelRow expected[kRegionCount] = {
      {"00---FCC(American)", 63, 400, 902600},
      {"01---ETSI EN 300-220(Europe300-220)", 11, 200, 865500},
      {"02---ETSI EN 302-208(Europe302-208)", 4, 600, 865700},
      {"03---HK920-925(Hong Kong)", 10, 500, 920250},
      {"04---TaiWan 922-928(Taiwan)", 12, 500, 922250},
      {"05---Japan 952-954(Japan)", 0, 0, 0},
      {"06---Japan 952-955(Japan)", 14, 200, 952200},
      {"07---ETSI EN 302-208(Europe)", 4, 600, 865700},
      {"08---Korea 917-921(Korea)", 6, 600, 917300},
      {"09---Malaysia 919-923(Malaysia)", 8, 500, 919250},
      {"10--China 920-925(China)", 16, 250, 920625},
      {"11--Japan 952-956(Japan)", 4, 1200, 952400},
      {"12--South Africa 915-919(Poncho)", 17, 200, 915600},
      {"13--Brazil 902-907/915-928(Brazil)", 35, 500, 902750},
      {"14--Thailand 920-925(Thailand)", -1, -1, -1},
      {"15--Singapore 920-925(Singapore)", 10, 500, 920250},
      {"16--Australia 920-926(Australia)", 12, 500, 920250},
      {"17--India 865-867(India)", 4, 600, 865100},
      {"18--Uruguay 916-928(Uruguay)", 23, 500, 916250},
      {"19--Vietnam 920-925(Vietnam)", 10, 500, 920250},
      {"20--Israel 915-917", 1, 0, 916250},
      {"21--Philippines 918-920(Philippines)", 4, 500, 918250},
      {"22--Canada 902-928(Canada)", 42, 500, 902750},
      {"23--Indonesia 923-925(Indonesia)", 4, 500, 923250},
      {"24--New Zealand 921.5-928(New Zealand)", 11, 500, 922250},
  };
  for (int region = 0; region < kRegionCount; ++region) {
    const RegionChannelRow& want = expected[region];
    const RegionChannelRow& row = RegionChannelTable()[static_cast<std::size_t>(region)];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(row.name, want.name);
    EXPECT_EQ(row.channels, want.channels);
    EXPECT_EQ(row.step, want.step);
    EXPECT_EQ(row.firstChannel, want.firstChannel);

    MemorySurface s{MainDialogTemplate()};
    FillChannelLists(s, region, -1, -1);
    const int count = std::max(want.channels, 0);
    ASSERT_EQ(s.ComboCount(idc::FreqStart), count);
    ASSERT_EQ(s.ComboCount(idc::FreqEnd), count);
    for (int n = 1; n <= count; ++n) {
      // Region 22: channels 1 to 3 are 902750, 903250 and 905750; channel n from 4 on is
      // 905750 + step x (n - 1).
      int frequency = want.firstChannel + want.step * (n - 1);
      if (region == 22) {
        frequency = n == 1 ? 902750 : n == 2 ? 903250 : n == 3 ? 905750 : 905750 + 500 * (n - 1);
      }
      char item[32];
      std::snprintf(item, sizeof item, "%02d--%d", n, frequency);
      EXPECT_EQ(s.ComboItem(idc::FreqStart, n - 1), item);
      EXPECT_EQ(s.ComboItem(idc::FreqEnd, n - 1), item);
    }
    EXPECT_EQ(s.ComboGetSel(idc::FreqStart), count > 0 ? 0 : -1);
    EXPECT_EQ(s.ComboGetSel(idc::FreqEnd), count - 1);
  }
}

TEST(ChannelLists, FillBothSelectorsAndSelect) {
  struct Case {
    int region;
    int startItem;
    int endItem;
    int count;
    std::string first;
    std::string last;
    int startSel;
    int endSel;
  };
  const Case cases[] = {
      {0, -1, -1, 63, "01--902600", "63--927400", 0, 62},  // -1 for both: first and last
      {0, 3, 10, 63, "01--902600", "63--927400", 3, 10},
      {0, -1, 10, 63, "01--902600", "63--927400", -1, 10},  // only one -1: taken as given
      {20, -1, -1, 1, "01--916250", "01--916250", 0, 0},
      {22, -1, -1, 42, "01--902750", "42--926250", 0, 41},
      {5, -1, -1, 0, "", "", -1, -1},
      {14, 0, 0, 0, "", "", -1, -1},
      {25, -1, -1, 0, "", "", -1, -1},
      {-3, 0, 0, 0, "", "", -1, -1},
  };
  for (const auto& c : cases) {
    MemorySurface s{MainDialogTemplate()};
    s.ComboAdd(idc::FreqStart, "old");  // whatever was there goes
    s.ComboAdd(idc::FreqEnd, "old");
    s.ComboSetSel(idc::FreqStart, 0);
    FillChannelLists(s, c.region, c.startItem, c.endItem);
    SCOPED_TRACE(::testing::Message() << "region " << c.region);
    EXPECT_EQ(ComboItems(s, idc::FreqStart), ComboItems(s, idc::FreqEnd));
    EXPECT_EQ(s.ComboCount(idc::FreqStart), c.count);
    EXPECT_EQ(s.ComboItem(idc::FreqStart, 0), c.first);
    EXPECT_EQ(s.ComboItem(idc::FreqStart, c.count - 1), c.last);
    EXPECT_EQ(s.ComboGetSel(idc::FreqStart), c.startSel);
    EXPECT_EQ(s.ComboGetSel(idc::FreqEnd), c.endSel);
  }
  MemorySurface s{MainDialogTemplate()};
  FillChannelLists(s, 22, -1, -1);
  EXPECT_EQ(s.ComboItem(idc::FreqEnd, 2), "03--905750");
  EXPECT_EQ(s.ComboItem(idc::FreqEnd, 3), "04--907250");
}

TEST(FrequencyLists, RefillingReplacesTheList) {
  MemorySurface s{MainDialogTemplate()};
  FillFrequencyLists(s, FrequencyBand::Fcc, 0, 30);
  FillFrequencyLists(s, FrequencyBand::Fcc, 0, 30);
  EXPECT_EQ(s.ComboCount(idc::FreqStart), 53);
  EXPECT_EQ(s.ComboCount(idc::FreqEnd), 53);
  EXPECT_EQ(s.ComboItem(idc::FreqStart, 52), "928000");
  EXPECT_EQ(s.GetText(idc::FreqStart), "902000");
  EXPECT_EQ(s.GetText(idc::FreqEnd), "917000");

  FillFrequencyLists(s, FrequencyBand::Etsi, 0, 3);
  EXPECT_THAT(ComboItems(s, idc::FreqEnd),
              ElementsAre("865000", "865500", "866000", "866500", "867000", "867500", "868000"));
  EXPECT_EQ(ComboItems(s, idc::FreqStart), ComboItems(s, idc::FreqEnd));
  EXPECT_EQ(s.GetText(idc::FreqStart), "865000");
  EXPECT_EQ(s.GetText(idc::FreqEnd), "866500");
}

TEST(FrequencyPlanShown, FormFourPicksTheBandByItsStart) {
  struct Case {
    std::int32_t start;
    std::uint8_t count;
    bool fcc;
    int startSel;
    int endSel;
  };
  const Case cases[] = {
      {902000, 48, true, 0, 48},      {865000, 6, false, 0, 6}, {903250, 2, true, 2, 4},
      {864800, 1, false, 0, 1},       // the division truncates toward zero
      {901999, 0, false, -1, -1},     // below 902000 is ETSI, far outside its list
      {INT32_MIN, 3, false, -1, -1},  // no overflow, nothing selected
      {INT32_MAX, 255, true, -1, -1},
  };
  for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{1}}) {
    for (const auto& c : cases) {
      MemorySurface s{MainDialogTemplate()};
      s.SetCheck(c.fcc ? idc::Etsi : idc::Fcc, 1);  // the other radio is cleared
      ShowFrequencyPlan(s, kind, {4, c.start, 0, 500, c.count});
      SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " start " << c.start);
      EXPECT_EQ(s.GetCheck(idc::Fcc), c.fcc ? 1 : 0);
      EXPECT_EQ(s.GetCheck(idc::Etsi), c.fcc ? 0 : 1);
      EXPECT_EQ(s.ComboCount(idc::FreqStart), c.fcc ? 53 : 7);
      EXPECT_EQ(s.ComboCount(idc::FreqEnd), c.fcc ? 53 : 7);
      EXPECT_EQ(s.ComboGetSel(idc::FreqStart), c.startSel);
      EXPECT_EQ(s.ComboGetSel(idc::FreqEnd), c.endSel);
    }
  }
}

TEST(FrequencyPlanShown, KindTwoShowsChannelsOfRegionZero) {
  struct Case {
    std::int32_t start;
    std::int32_t end;
    int startSel;
    int endSel;
  };
  const Case cases[] = {
      {1, 63, 0, 62},    {5, 9, 4, 8}, {0, 0, 0, 62},  // channel 0 on both: first and last
      {257, 319, 0, 62},                               // channel numbers travel as bytes
      {10, 64, 9, -1},
  };
  for (const auto& c : cases) {
    MemorySurface s{MainDialogTemplate()};
    ShowFrequencyPlan(s, 2, {5, c.start, c.end, 0, 0});
    SCOPED_TRACE(::testing::Message() << c.start << ".." << c.end);
    EXPECT_EQ(s.ComboCount(idc::FreqStart), 63);
    EXPECT_EQ(s.ComboGetSel(idc::FreqStart), c.startSel);
    EXPECT_EQ(s.ComboGetSel(idc::FreqEnd), c.endSel);
    EXPECT_EQ(s.GetCheck(idc::Fcc) + s.GetCheck(idc::Etsi), 0);  // radios untouched
  }
}

TEST(FrequencyPlanBuilt, FromSelectorsAndFactoryPlans) {
  MemorySurface s{MainDialogTemplate()};
  FillFrequencyLists(s, FrequencyBand::Fcc, 2, 10);
  s.SetCheck(idc::Fcc, 1);
  EXPECT_EQ(PlanFromControls(s, 0), (FrequencyPlan{4, 903000, 907000, 500, 8}));
  EXPECT_EQ(PlanFromControls(s, 1), (FrequencyPlan{4, 903000, 907000, 500, 8}));
  FillFrequencyLists(s, FrequencyBand::Etsi, 1, 3);
  s.SetCheck(idc::Fcc, 0);
  s.SetCheck(idc::Etsi, 1);
  EXPECT_EQ(PlanFromControls(s, 0), (FrequencyPlan{4, 865500, 866500, 500, 2}));
  FillChannelLists(s, 0, 0, 62);
  EXPECT_EQ(PlanFromControls(s, 2), (FrequencyPlan{5, 1, 63, 0, 0}));

  EXPECT_EQ(FactoryPlan(0, 902000), (FrequencyPlan{4, 902000, 926000, 500, 48}));
  EXPECT_EQ(FactoryPlan(1, 915000), (FrequencyPlan{4, 902000, 926000, 500, 48}));
  EXPECT_EQ(FactoryPlan(0, 901999), (FrequencyPlan{4, 865000, 868000, 500, 6}));
  EXPECT_EQ(FactoryPlan(2, 865000), (FrequencyPlan{5, 1, 63, 0, 0}));
}

}  // namespace
}  // namespace uhf
