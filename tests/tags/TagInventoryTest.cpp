// The tag list as an inventory: the figures over counted reads, the first and last seen times of
// a row, clearing, and the CSV text of the list.
#include "tags/TagInventory.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "support/DialogFixture.h"
#include "tags/TagListCsv.h"
#include "tags/TagReads.h"

namespace uhf {
namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

const Steady::time_point kStart{1000s};

TEST(TagInventory, FiguresCountEveryReadAndRateCoversTheLastTenSeconds) {
  struct Read {
    bool newTag;
    std::chrono::milliseconds at;
  };
  struct Case {
    const char* name;
    std::vector<Read> reads;
    std::chrono::milliseconds now;
    long long total, unique;
    double rate;
  };
  const Case cases[] = {
      {"empty", {}, 0ms, 0, 0, 0.0},
      {"repeats are not unique",
       {{true, 0ms}, {false, 1ms}, {false, 2ms}, {true, 3ms}},
       3ms,
       4,
       2,
       0.4},
      // A read exactly ten seconds old has left the window; one a millisecond younger has not.
      {"window edges", {{true, 0ms}, {false, 1ms}, {false, 5000ms}}, 10000ms, 3, 1, 0.2},
      {"all old", {{true, 0ms}, {false, 100ms}}, 20000ms, 2, 1, 0.0},
      // Figures asked for before the later reads only count what had happened then.
      {"future reads left out", {{true, 0ms}, {false, 4000ms}}, 2000ms, 2, 1, 0.1},
      // A clock that steps back counts the read at the last time seen.
      {"clock steps back", {{true, 5000ms}, {false, 1000ms}}, 14000ms, 2, 1, 0.2},
      // Pruning on a later read keeps the reads still inside the window.
      {"pruned while counting",
       {{true, 0ms}, {false, 9000ms}, {false, 12000ms}},
       12000ms,
       3,
       1,
       0.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TagInventory inventory;
    for (const Read& r : c.reads) inventory.Count(r.newTag, kStart + r.at);
    EXPECT_EQ(inventory.TotalReads(), c.total);
    EXPECT_EQ(inventory.UniqueTags(), c.unique);
    EXPECT_DOUBLE_EQ(inventory.ReadsPerSecond(kStart + c.now), c.rate);
    inventory.Clear();
    EXPECT_EQ(inventory.TotalReads() + inventory.UniqueTags(), 0);
    EXPECT_EQ(inventory.ReadsPerSecond(kStart + c.now), 0.0);
  }
}

// A wall time made from a local date and time, so the expected text holds in any time zone.
std::chrono::system_clock::time_point LocalTime(int hour, int minute, int second, int millis) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 7;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) +
         std::chrono::milliseconds(millis);
}

const std::vector<std::uint8_t> kTagA{0xE2, 0x00, 0x12, 0x34, 0x56, 0x78,
                                      0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22};
const std::vector<std::uint8_t> kTagB{0xE2, 0x00, 0x12, 0x34, 0x01, 0x02,
                                      0x03, 0x04, 0xDE, 0xF0, 0x11, 0x22};

class InventoryReadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(f.reader.OpenCom(100, 115200), 0);
    const char* headings[] = {"No.", "Card Number", "Success Times", "EPC Length"};
    for (int c = 0; c < 4; ++c) f.surface.ListInsertColumn(idc::TagList, c, headings[c], 100);
    reads.SetClock([this] { return ReadTime{Steady::time_point{}, wall}; });
  }
  // One hexadecimal test read of `tag` at the given local time, or at that second past 10:00.
  void ReadAt(const std::vector<std::uint8_t>& tag, std::chrono::system_clock::time_point at) {
    f.reader.State().tags = {tag};
    wall = at;
    reads.OnReadTagTestHex();
  }
  void ReadAt(const std::vector<std::uint8_t>& tag, int second, int millis) {
    ReadAt(tag, LocalTime(10, 0, second, millis));
  }
  std::string Cell(int row, int column) const {
    return f.surface.ListGetItemText(idc::TagList, row, column, 256);
  }

  testing::DialogFixture f;
  TagReads reads{f.ctx};
  std::chrono::system_clock::time_point wall;
};

// Rows keep the time of their first read and advance the last, as local time of day to the
// millisecond, where the list has the seen columns; the figures count all the same without them.
TEST_F(InventoryReadsTest, RowsKeepFirstSeenAndAdvanceLastSeen) {
  // Without the columns first: they cannot be taken out of the list again.
  for (const bool seenColumns : {false, true}) {
    SCOPED_TRACE(seenColumns);
    reads.ClearList();
    if (seenColumns) {
      AddSeenColumns(f.surface);
      AddSeenColumns(f.surface);  // a second call adds nothing
      EXPECT_EQ(f.surface.ListColumnHeading(idc::TagList, kTagColumnLastSeen), "Last Seen");
    }
    ASSERT_EQ(f.surface.ListColumnCount(idc::TagList), seenColumns ? 6 : 4);
    ReadAt(kTagA, LocalTime(0, 0, 0, 7));
    ReadAt(kTagB, LocalTime(9, 21, 20, 123));
    ReadAt(kTagA, LocalTime(12, 30, 0, 0));
    ReadAt(kTagA, LocalTime(23, 59, 59, 999));
    struct Expected {
      int row;
      const char *count, *first, *last;
    };
    // Local time of day, every field zero-padded, to the millisecond; no cells without the
    // columns, while the figures count all the same.
    for (const Expected e : {Expected{0, "3", "00:00:00.007", "23:59:59.999"},
                             Expected{1, "1", "09:21:20.123", "09:21:20.123"}}) {
      SCOPED_TRACE(e.row);
      EXPECT_EQ(Cell(e.row, kTagColumnCount), e.count);
      EXPECT_EQ(Cell(e.row, kTagColumnFirstSeen), seenColumns ? e.first : "");
      EXPECT_EQ(Cell(e.row, kTagColumnLastSeen), seenColumns ? e.last : "");
    }
    EXPECT_EQ(reads.Inventory().TotalReads(), 4);
    EXPECT_EQ(reads.Inventory().UniqueTags(), 2);
  }
}

TEST_F(InventoryReadsTest, ClearingEmptiesListAndFiguresOnlyWhenConfirmed) {
  struct Step {
    MessageResult answer;
    int rows;
    long long total;
  };
  ReadAt(kTagA, 1, 0);
  ReadAt(kTagB, 2, 0);
  for (const Step s : {Step{MessageResult::Cancel, 2, 2}, Step{MessageResult::Ok, 0, 0}}) {
    f.surface.QueueMessageAnswer(s.answer);
    reads.OnTagListDblClk();
    EXPECT_EQ(f.surface.ListCount(idc::TagList), s.rows);
    EXPECT_EQ(reads.Inventory().TotalReads(), s.total);
    EXPECT_EQ(reads.Inventory().UniqueTags(), s.total);
  }
  ReadAt(kTagB, 3, 0);
  ReadAt(kTagA, 4, 0);
  reads.ClearList();  // the plain clear asks nothing
  EXPECT_EQ(f.surface.Messages().size(), 2u);
  EXPECT_EQ(f.surface.ListCount(idc::TagList), 0);
  EXPECT_EQ(reads.Inventory().UniqueTags(), 0);
  ReadAt(kTagA, 5, 0);  // numbering starts again and the tag is new again
  EXPECT_EQ(Cell(0, 0), "1");
  EXPECT_EQ(reads.Inventory().UniqueTags(), 1);
}

TEST_F(InventoryReadsTest, CsvHoldsHeadingsRowsAndTheColumnsAskedFor) {
  AddSeenColumns(f.surface);
  ReadAt(kTagA, 1, 5);
  // Rows as the decimal way writes them, one with a field that needs quoting.
  reads.AddOrCountCard("1450744508", CardMatch::Decimal(), 12);
  reads.AddOrCountCard("05666970", CardMatch::Decimal(), 12);
  f.surface.ListSetItemText(idc::TagList, 2, kTagColumnCard, "a,\"b\"");
  const std::string hexRow = "1,e200123456789abcdef01122,1,12";
  struct Case {
    TagListCsvOptions options;
    std::string expected;
  };
  const Case cases[] = {
      {{},
       "No.,Card Number,Success Times,EPC Length\r\n" + hexRow +
           "\r\n2,1450744508,1,12\r\n3,\"a,\"\"b\"\"\",1,12\r\n"},
      {{.byteOrderMark = true, .seenColumns = true},
       "\xEF\xBB\xBFNo.,Card Number,Success Times,EPC Length,First Seen,Last Seen\r\n" + hexRow +
           ",10:00:01.005,10:00:01.005\r\n2,1450744508,1,12,10:00:01.005,10:00:01.005\r\n"
           "3,\"a,\"\"b\"\"\",1,12,10:00:01.005,10:00:01.005\r\n"},
      // Only a row with an 8- or 10-digit card number gets the Wiegand frame: 0x5678 holds 8 ones,
      // 0x9abc 9, so both parity bits are 0.
      {{.wiegandColumns = true},
       "No.,Card Number,Success Times,EPC Length,Frame Bits,Facility Code,Card,Even Parity,"
       "Odd Parity,Frame\r\n" +
           hexRow +
           "\r\n2,1450744508,1,12,34,22136,39612,0,0,"
           "0010101100111100010011010101111000\r\n3,\"a,\"\"b\"\"\",1,12\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TagListCsv(f.surface, c.options), c.expected);
  }
}

}  // namespace
}  // namespace uhf
