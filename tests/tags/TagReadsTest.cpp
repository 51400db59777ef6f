#include "tags/TagReads.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "support/DialogFixture.h"
#include "tags/CardFormats.h"

namespace uhf {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Row = std::array<std::string, 4>;  // No., Card Number, Success Times, EPC Length
using Calls = std::vector<std::string>;

const Bytes kEpc{0xE2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22};
const Bytes kOtherEpc{0xE2, 0x00, 0x12, 0x34, 0x01, 0x02, 0x03, 0x04, 0xDE, 0xF0, 0x11, 0x22};

Bytes Epc(std::size_t length) {
  Bytes epc(length);
  for (std::size_t i = 0; i < length; ++i) epc[i] = static_cast<std::uint8_t>(0x30 + i);
  return epc;
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) text += ByteToHex(b);
  return text;
}

// A raw reply as the driver hands it over: header bytes, the EPC, and for kinds other than 2 a
// trailing byte. Header and trailer are chosen so that a wrong offset changes the card number.
Bytes Reply(std::uint8_t kind, const Bytes& epc) {
  Bytes reply = kind == 2 ? Bytes{0xA1, 0xA2} : Bytes{0xA1, 0xA2, 0xA3};
  reply.insert(reply.end(), epc.begin(), epc.end());
  if (kind != 2) reply.push_back(0xEE);
  return reply;
}

struct Settings {
  int startByte = 4;    // Start Bytes selection, -1 for none
  int lengthIndex = 3;  // Length selection, -1 for none
  bool usb = false;
  bool w34 = true;
  bool forward = true;
};

// What a read looks at, as the dialog's initialisation and a connection leave it.
void Prepare(testing::DialogFixture& f, const Settings& s, std::uint8_t kind = 0) {
  MemorySurface& ui = f.surface;
  ui.ComboReset(idc::StartBytes);
  ui.ComboReset(idc::Length);
  for (int i = 0; i < 12; ++i) {
    ui.ComboAdd(idc::StartBytes, std::to_string(i));
    ui.ComboAdd(idc::Length, std::to_string(i + 1));
  }
  ui.ComboSetSel(idc::StartBytes, s.startByte);
  ui.ComboSetSel(idc::Length, s.lengthIndex);
  ui.SetCheck(idc::Usb, s.usb ? 1 : 0);
  ui.SetCheck(idc::Wiegand34, s.w34 ? 1 : 0);
  ui.SetCheck(idc::Wiegand26, s.w34 ? 0 : 1);
  ui.SetCheck(idc::ForwardOutput, s.forward ? 1 : 0);
  ui.SetCheck(idc::InvertedOutput, s.forward ? 0 : 1);
  if (ui.ListColumnCount(idc::TagList) == 0) {
    const char* headings[] = {"No.", "Card Number", "Success Times", "EPC Length"};
    const int widths[] = {90, 250, 150, 150};
    for (int c = 0; c < 4; ++c) ui.ListInsertColumn(idc::TagList, c, headings[c], widths[c]);
  }
  f.reader.State().readerKind = kind;
  if (f.reader.LinkOpen()) {
    ASSERT_EQ(f.reader.CloseCom(), 0);  // one link at a time
  }
  ASSERT_EQ(f.reader.OpenCom(100, 115200), 0);
  std::uint8_t extra = 0;
  ASSERT_EQ(f.reader.Handshake(ReaderBusAddress, 1, &f.readerKind, &extra), 0);
  ASSERT_EQ(f.readerKind, kind);
  f.linkOpen = true;
  f.reader.ClearCalls();
}

std::vector<Row> Rows(const MemorySurface& ui) {
  std::vector<Row> rows;
  for (int r = 0; r < ui.ListCount(idc::TagList); ++r) {
    Row row;
    for (int c = 0; c < 4; ++c) row[c] = ui.ListGetItemText(idc::TagList, r, c, 256);
    rows.push_back(row);
  }
  return rows;
}

class TagReadsTest : public ::testing::Test {
 protected:
  void Use(const Settings& s, std::uint8_t kind = 0) { Prepare(f, s, kind); }
  void Field(const Bytes& epc) { f.reader.State().tags = {epc}; }
  std::vector<Row> Rows() const { return uhf::Rows(f.surface); }

  testing::DialogFixture f;
  TagReads reads{f.ctx};
};

TEST_F(TagReadsTest, EpcOutputWayAddsCountsAndAppends) {
  Use({});
  Field(kEpc);
  reads.OnReadTag();
  EXPECT_EQ(f.reader.Calls(),
            (Calls{"UhfReadTag(255)", "EpcOutput(e200123456789abcdef01122,12,0,4,4)"}));
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "56789abc", "1", "12"}}));
  reads.OnReadTag();
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "56789abc", "2", "12"}}));
  Field(Epc(16));  // a longer EPC: its first 12 bytes go to the driver, the row keeps 16
  f.reader.ClearCalls();
  reads.OnReadTag();
  EXPECT_EQ(f.reader.Calls().at(1), "EpcOutput(" + Hex(Epc(12)) + ",12,0,4,4)");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "56789abc", "2", "12"}, {"2", "34353637", "1", "16"}}));
  Use({.forward = false});
  Field(kEpc);
  reads.OnReadTag();
  EXPECT_EQ(f.reader.Calls().at(1), "EpcOutput(e200123456789abcdef01122,12,1,4,4)");
  EXPECT_EQ(Rows().back(), (Row{"3", "bc9a7856", "1", "12"}));
  EXPECT_TRUE(f.surface.Messages().empty());
}

TEST_F(TagReadsTest, WindowCheckComesFirstOnBothWays) {
  Field(kEpc);
  struct Case {
    int start, lengthIndex;
    bool usb, refused;
  };
  for (const Case c : {Case{9, 3, false, true}, Case{9, 3, true, true}, Case{8, 3, false, false},
                       Case{0, 11, false, false}, Case{1, 11, false, true}}) {
    Use({.startByte = c.start, .lengthIndex = c.lengthIndex, .usb = c.usb});
    f.surface.ClearMessages();
    reads.OnReadTag();
    SCOPED_TRACE(c.start * 100 + c.lengthIndex);
    EXPECT_EQ(f.reader.Calls().empty(), c.refused);
    ASSERT_EQ(f.surface.Messages().size(), c.refused ? 1u : 0u);
    if (c.refused) {
      EXPECT_EQ(f.surface.Messages()[0].text, "Lenght Bytes Parameter Error!");
      EXPECT_EQ(f.surface.Messages()[0].caption, kAppTitle);
    }
  }
}

TEST_F(TagReadsTest, DecimalWindowAndEpcLimits) {
  struct Case {
    bool w34;
    int start;
    std::size_t epcLength;
    bool added;
  };
  for (const Case c :
       {Case{false, 9, 12, true}, Case{false, 10, 12, false}, Case{true, 8, 12, true},
        Case{true, 9, 12, false}, Case{false, 0, 20, true}, Case{false, 0, 21, false}}) {
    f.surface.ListDeleteAll(idc::TagList);
    Use({.startByte = c.start, .lengthIndex = 0, .usb = true, .w34 = c.w34});
    Field(Epc(c.epcLength));
    reads.OnReadTag();
    SCOPED_TRACE(c.start);
    EXPECT_EQ(f.reader.Calls(), Calls{"UhfReadTag(255)"});
    EXPECT_EQ(Rows().size(), c.added ? 1u : 0u);
    EXPECT_TRUE(f.surface.Messages().empty());
  }
}

TEST_F(TagReadsTest, DecimalCardNumbersForEachWiegandFormatAndByteOrder) {
  Field(kEpc);
  struct Case {
    bool w34, forward;
    const char* text;
  };
  for (const Case c : {Case{true, true, "1450744508"}, Case{true, false, "3164239958"},
                       Case{false, true, "05666970"}, Case{false, false, "10123350"}}) {
    f.surface.ListDeleteAll(idc::TagList);
    Use({.w34 = c.w34, .forward = c.forward});
    reads.OnReadTagTestDecimal();
    reads.OnReadTagUSB();  // the same text: counts into the same row
    EXPECT_EQ(Rows(), (std::vector<Row>{{"1", c.text, "2", "12"}}));
  }
}

TEST_F(TagReadsTest, HexTestReadAndItsRuleAgainstTheDecimalRow) {
  Use({});
  Field(kEpc);
  reads.OnReadTagTestHex();
  reads.OnReadTagTestHex();
  reads.OnReadTagUSB();  // Wiegand 34, forward, start byte 4: neither rule finds the other's row
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "e200123456789abcdef01122", "2", "12"},
                                      {"2", "1450744508", "1", "12"}}));
  Field(Epc(20));
  reads.OnReadTagTestHex();
  reads.OnReadTagTestHex();
  Field(Epc(21));
  reads.OnReadTagTestHex();
  ASSERT_EQ(Rows().size(), 3u);
  EXPECT_EQ(Rows()[2], (Row{"3", Hex(Epc(20)), "2", "20"}));
}

TEST_F(TagReadsTest, ReplyLayoutFollowsTheReaderKind) {
  using Way = void (TagReads::*)();
  struct Case {
    Way way;
    Settings settings;
    const char* text;
  };
  for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}}) {
    for (const Case& c :
         {Case{&TagReads::OnReadTag, {}, "56789abc"}, Case{&TagReads::ReadTagUSB, {}, "1450744508"},
          Case{&TagReads::OnReadTagTestHex, {}, "e200123456789abcdef01122"}}) {
      f.surface.ListDeleteAll(idc::TagList);
      Use(c.settings, kind);
      f.reader.QueueRawReply(Reply(kind, kEpc));
      (reads.*c.way)();
      SCOPED_TRACE(kind);
      EXPECT_EQ(Rows(), (std::vector<Row>{{"1", c.text, "1", "12"}}));
    }
  }
}

TEST_F(TagReadsTest, ShortRepliesAndFailuresEndSilently) {
  using Way = void (TagReads::*)();
  for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{2}}) {
    const int overhead = kind == 2 ? 2 : 4;
    for (int length = 0; length <= overhead; ++length) {  // == overhead: an empty EPC
      for (Way way : {&TagReads::OnReadTag, &TagReads::ReadTagUSB, &TagReads::OnReadTagTestHex}) {
        Use({}, kind);
        f.reader.QueueRawReply(Bytes(static_cast<std::size_t>(length), 0x31));
        (reads.*way)();
        SCOPED_TRACE(kind * 10 + length);
        EXPECT_EQ(f.reader.Calls(), Calls{"UhfReadTag(255)"});  // no EpcOutput of a wrapped length
      }
    }
  }
  Field(kEpc);
  f.reader.FailOn("UhfReadTag");
  reads.OnReadTag();
  reads.OnReadTagTestHex();
  reads.ReadTagUSB();
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(f.surface.Messages().empty());
}

TEST_F(TagReadsTest, EpcOutputFailureShowsFreqError) {
  Use({});
  Field(kEpc);
  f.reader.FailOn("EpcOutput");
  reads.OnReadTag();
  ASSERT_EQ(f.surface.Messages().size(), 1u);
  EXPECT_EQ(f.surface.Messages()[0].text, "Freq Error!");
  EXPECT_EQ(f.surface.Messages()[0].caption, kAppTitle);
  EXPECT_EQ(f.surface.Messages()[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(Rows().empty());
}

TEST_F(TagReadsTest, NoStartByteSelectionMakesNoDriverCall) {
  Field(kEpc);
  using Way = void (TagReads::*)();
  for (bool usb : {false, true}) {
    for (Way way : {&TagReads::OnReadTag, &TagReads::ReadTagUSB, &TagReads::OnReadTagTestDecimal,
                    &TagReads::OnReadTagUSB}) {
      Use({.startByte = -1, .usb = usb});
      (reads.*way)();
      EXPECT_TRUE(f.reader.Calls().empty());
    }
  }
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(f.surface.Messages().empty());
  reads.OnReadTagTestHex();  // takes no start byte
  EXPECT_EQ(Rows().size(), 1u);
}

// Without a length there is no card to output: no driver call and no row, as without a start
// byte. The USB way does not use the length and reads as usual.
TEST_F(TagReadsTest, NoLengthOrStartSelectionMakesNoRead) {
  Field(kEpc);
  for (const Settings s :
       {Settings{.startByte = 0, .lengthIndex = -1}, Settings{.startByte = -1, .lengthIndex = 3},
        Settings{.startByte = -1, .lengthIndex = -1}}) {
    Use(s);
    reads.OnReadTag();
    EXPECT_THAT(f.reader.Calls(), ::testing::IsEmpty());
    EXPECT_THAT(Rows(), ::testing::IsEmpty());
    EXPECT_THAT(f.surface.Messages(), ::testing::IsEmpty());
  }
  Use({.startByte = 4, .lengthIndex = -1, .usb = true});
  reads.OnReadTag();
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "1450744508", "1", "12"}}));
}

// Neither "26" nor "34" checked: the frame is Wiegand 26.
TEST_F(TagReadsTest, NoFormatCheckedReadsWiegand26) {
  Field(kEpc);
  Use({.usb = true, .w34 = false});
  f.surface.SetCheck(idc::Wiegand26, 0);
  reads.OnReadTag();
  reads.ReadTagUSB();
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "05666970", "2", "12"}}));
}

TEST_F(TagReadsTest, DoubleClickClearsOnlyWhenConfirmed) {
  Use({});
  Field(kEpc);
  reads.OnReadTag();
  reads.OnReadTagTestHex();
  f.surface.QueueMessageAnswer(MessageResult::Cancel);
  reads.OnTagListDblClk();
  ASSERT_EQ(f.surface.Messages().size(), 1u);
  const ShownMessage& shown = f.surface.Messages()[0];
  EXPECT_EQ(shown.text, "Delete Record?");
  EXPECT_EQ(shown.caption, "Warnning");
  EXPECT_EQ(shown.buttons, MessageButtons::OkCancel);
  EXPECT_EQ(Rows().size(), 2u);

  f.surface.QueueMessageAnswer(MessageResult::Ok);
  reads.OnTagListDblClk();
  EXPECT_TRUE(Rows().empty());
  reads.OnReadTag();  // numbering and the index start again
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1", "56789abc", "1", "12"}}));
}

TEST_F(TagReadsTest, CountsStayExactPast999) {
  for (RowLookup lookup : {RowLookup::Indexed, RowLookup::Scan}) {
    f.surface.ListDeleteAll(idc::TagList);
    TagReads own(f.ctx, lookup);
    Use({});
    Field(kEpc);
    for (int i = 0; i < 999; ++i) own.OnReadTagTestHex();
    EXPECT_EQ(Rows()[0][2], "999");
    own.OnReadTagTestHex();
    own.OnReadTagTestHex();
    EXPECT_EQ(Rows()[0][2], "1001");
    // A count too large to step is left as it is rather than wrapped or cut.
    f.surface.ListSetItemText(idc::TagList, 0, kTagColumnCount, "99999999999999999999");
    own.OnReadTagTestHex();
    EXPECT_EQ(Rows()[0][2], "99999999999999999999");
    EXPECT_EQ(Rows().size(), 1u);
  }
}

// The index answers every rule as the scan does, on a list with rows of every way, texts the
// rules accept in more than one form, and a list changed behind the index's back.
TEST_F(TagReadsTest, IndexPicksTheRowTheScanPicks) {
  Use({});
  auto add = [&](const std::string& card, const std::string& epcLength) {
    const int row = f.surface.ListCount(idc::TagList);
    f.surface.ListInsertItem(idc::TagList, row, FormatRowNumber(row + 1));
    f.surface.ListSetItemText(idc::TagList, row, kTagColumnCard, card);
    f.surface.ListSetItemText(idc::TagList, row, kTagColumnCount, "1");
    f.surface.ListSetItemText(idc::TagList, row, kTagColumnEpcLength, epcLength);
  };
  const std::vector<std::pair<std::string, CardMatch>> queries{
      {"05666970", CardMatch::Decimal()},
      {"1450744508", CardMatch::Decimal()},
      {"12345678", CardMatch::Decimal()},
      {"56789abc", CardMatch::Hexadecimal(Bytes{0x56, 0x78, 0x9A, 0xBC})},
      {"", CardMatch::Hexadecimal(Bytes{})},
      {"12345678", CardMatch::Hexadecimal(Bytes{0x12, 0x34, 0x56, 0x78})},
      {Hex(kEpc), CardMatch::Epc(kEpc)},
      {"e2001234", CardMatch::Epc(Bytes{0xE2, 0x00, 0x12, 0x34})},
      {Hex(Epc(20)), CardMatch::Epc(Epc(20))},
  };
  auto compare = [&] {
    for (const auto& [text, match] : queries) {
      SCOPED_TRACE(text);
      EXPECT_EQ(reads.FindRow(text, match), reads.ScanForRow(text, match));
    }
  };
  compare();  // empty list
  for (const auto& [card, epcLength] : std::vector<std::pair<std::string, std::string>>{
           {"0566697", "12"},                     // one short of a Wiegand 26 text
           {"E200123456789ABCDEF01122", "012"},   // EPC rule: three characters never match
           {"E200123456789ABCDEF01122", "12"},    // upper case decodes to the same bytes
           {"e200123456789abcdef01122ff", "12"},  // encodes more bytes than the EPC
           {"56789ABC7", "4"},                    // 2L + 1 characters
           {"1450744508ff", "12"},                // longer text behind a decimal card number
           {"056669701", "12"},                   // both prefixes at once
           {"12345678", "12"},                    // a hexadecimal row of digits only
           {"e2001234", "4"},
           {"x", "12"},
           {Hex(Epc(20)) + "00", "20"},
           {"56789abc", "12"}}) {
    add(card, epcLength);
    compare();
  }
  // The rows each rule picks on this list, by the rules themselves.
  const std::vector<int> picked{6, 5, 7, 4, 9, 7, 2, 8, 10};
  for (std::size_t q = 0; q < queries.size(); ++q) {
    EXPECT_EQ(reads.ScanForRow(queries[q].first, queries[q].second), picked[q]) << q;
  }
  f.surface.ListDeleteAll(idc::TagList);  // cleared without the double-click, then refilled
  const char* refill[] = {"56789abc", "1450744508", "05666970", "e2001234"};
  for (int i = 0; i < 16; ++i) add(refill[i % 4], "4");  // more rows than before
  compare();
  EXPECT_EQ(reads.FindRow("56789abc", queries[3].second), 0);
  // Refilled again to the same length and the same last row: only the rows themselves tell.
  f.surface.ListDeleteAll(idc::TagList);
  const char* permuted[] = {"05666970", "56789abc", "1450744508", "e2001234"};
  for (int i = 0; i < 16; ++i) add(permuted[i % 4], "4");
  compare();
}

// The same reads by every way, into one list looked up by the index and one by the scan.
TEST(TagReadsLookup, SameListWithIndexAndScan) {
  testing::DialogFixture indexed, scanned;
  TagReads withIndex(indexed.ctx, RowLookup::Indexed), withScan(scanned.ctx, RowLookup::Scan);
  std::mt19937 random(7);
  std::vector<Bytes> tags;
  for (int i = 0; i < 40; ++i) {
    Bytes epc = kEpc;
    epc[5] = static_cast<std::uint8_t>(random() % 6);  // few distinct windows: many repeats
    epc[10] = static_cast<std::uint8_t>(random() % 3);
    tags.push_back(epc);
  }
  using Way = void (TagReads::*)();
  const Way ways[] = {&TagReads::OnReadTag, &TagReads::ReadTagUSB, &TagReads::OnReadTagTestHex,
                      &TagReads::OnReadTagTestDecimal};
  std::vector<std::vector<Row>> lists;
  for (auto* fixture : {&indexed, &scanned}) {
    TagReads& reads = fixture == &indexed ? withIndex : withScan;
    std::mt19937 steps(11);
    MemorySurface& ui = fixture->surface;
    Prepare(*fixture, {.lengthIndex = 1});
    for (int step = 0; step < 600; ++step) {
      ui.ComboSetSel(idc::StartBytes, static_cast<int>(steps() % 6));
      ui.SetCheck(idc::Wiegand34, static_cast<int>(steps() % 2));
      ui.SetCheck(idc::ForwardOutput, static_cast<int>(steps() % 2));
      fixture->reader.State().tags = {tags[steps() % tags.size()]};
      (reads.*ways[steps() % 4])();
      if (step == 300) {  // the operator clears the list once
        ui.QueueMessageAnswer(MessageResult::Ok);
        reads.OnTagListDblClk();
      }
      fixture->reader.ClearCalls();
    }
    lists.push_back(Rows(ui));
  }
  EXPECT_GT(lists[0].size(), 10u);
  EXPECT_EQ(lists[0], lists[1]);
}

}  // namespace
}  // namespace uhf
