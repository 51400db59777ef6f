#pragma once
// Reading one tag on demand into the tag list, and the three test reads. The list view is the
// only store of results: one row per distinct card number with its read count, found again by
// reading the cells back. An index kept in step with the list spares the reads a scan of every
// row; it never changes which row a read counts into.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dialog/DialogContext.h"
#include "tags/TagInventory.h"

namespace uhf {

// Columns of the tag list; column 0 (No.) is the row's own item text.
inline constexpr int kTagColumnCard = 1;
inline constexpr int kTagColumnCount = 2;
inline constexpr int kTagColumnEpcLength = 3;

// How a read recognises the row of its card number.
enum class CardRule {
  // The Card Number text is 2L or 2L+1 characters long and decodes (a_hex) to the L card bytes.
  Hexadecimal,
  // The Card Number text begins with the 8- or 10-digit card text.
  Decimal,
  // The EPC Length cell holds the EPC length in one or two digits and the Card Number text
  // decodes to bytes that begin with the EPC.
  Epc,
};

struct CardMatch {
  CardRule rule = CardRule::Decimal;
  std::vector<std::uint8_t> bytes;  // card bytes (Hexadecimal) or EPC bytes (Epc)

  static CardMatch Hexadecimal(std::span<const std::uint8_t> cardBytes) {
    return {CardRule::Hexadecimal, {cardBytes.begin(), cardBytes.end()}};
  }
  static CardMatch Decimal() { return {CardRule::Decimal, {}}; }
  static CardMatch Epc(std::span<const std::uint8_t> epc) {
    return {CardRule::Epc, {epc.begin(), epc.end()}};
  }
};

// The ways a read makes its card number.
enum class ReadWay {
  // Read Tag button: the window check, then the decimal way when the USB radio is checked, else
  // the card bytes EpcOutput picks out, as hexadecimal text.
  ReadTag,
  // The decimal Wiegand card number (ReadTagUSB).
  Decimal,
  // The whole EPC as hexadecimal text.
  Hexadecimal,
};

// What a read takes from the controls and the dialog state: taken on the window's thread, so
// that the read itself can run anywhere.
struct TagReadSettings {
  int startByte = -1;    // Start Bytes selection, -1 for none
  int lengthIndex = -1;  // Length selection, -1 for none
  bool usb = false;
  bool wiegand34 = false;
  bool forward = false;
  std::uint8_t readerKind = 0;
};
TagReadSettings TagReadSettingsOf(DialogContext& ctx);

// A read's card number, its matching rule and the EPC length, ready to count into the list.
struct CardRead {
  std::string cardText;
  CardMatch match;
  int epcLength = 0;
};

enum class ReadFailure {
  None,
  Silent,       // no tag, a failed read, a window past the EPC: nothing is shown
  WindowCheck,  // Start Bytes + Length past the tag number
  CardOutput,   // EpcOutput failed
};

struct TagReadResult {
  std::optional<CardRead> card;
  ReadFailure failure = ReadFailure::None;
};

// The Read Tag button's check that Start Bytes + Length stay inside the tag number; the other
// ways make none.
bool PassesWindowCheck(const TagReadSettings& settings, ReadWay way);

// Whether counting a read of this way into the list calls the driver (the hexadecimal rules
// decode the list's card texts with the driver's conversion; the decimal rule compares text).
bool CountingCallsDriver(const TagReadSettings& settings, ReadWay way);

// One read from the driver by `way`: the driver calls of the read, no control touched.
TagReadResult ReadCard(ReaderDriver& driver, const TagReadSettings& settings, ReadWay way);

// How rows are looked up: the index, or a scan that reads every row back on every read.
enum class RowLookup { Indexed, Scan };

// Adds the First Seen and Last Seen columns after the four existing ones, once.
void AddSeenColumns(ControlSurface& surface);

class TagReads {
 public:
  // Keep one instance for the dialog's lifetime: the index lives in it (a new instance rebuilds
  // the index from the list on its first read).
  explicit TagReads(DialogContext& ctx, RowLookup lookup = RowLookup::Indexed);

  // Read Tag button (1018).
  void OnReadTag();
  // The decimal Wiegand way; also buttons 1066 and 1081.
  void ReadTagUSB();
  // Count a read into the first row that matches, or append a row for it. When the list has the
  // inventory columns, the row's first and last seen times are set too; every counted read feeds
  // the inventory figures.
  void AddOrCountCard(std::string_view cardText, const CardMatch& match, int epcLength);
  void CountRead(const CardRead& read) {
    AddOrCountCard(read.cardText, read.match, read.epcLength);
  }
  // Double-click on the tag list: after confirmation, delete every row.
  void OnTagListDblClk();
  // Deletes every row and clears the inventory figures, without asking.
  void ClearList();

  const TagInventory& Inventory() const { return inventory_; }
  void SetClock(ReadClock clock) { clock_ = std::move(clock); }
  ReadTime Now() const { return clock_ ? clock_() : NowReadTime(); }
  // Buttons 1066, 1067 and 1081.
  void OnReadTagTestDecimal();
  void OnReadTagTestHex();
  void OnReadTagUSB();

  // The row a read with this card text and rule would count into, or -1: through the chosen
  // lookup, and by the plain scan of every row from the top.
  int FindRow(std::string_view cardText, const CardMatch& match);
  int ScanForRow(std::string_view cardText, const CardMatch& match) const;

 private:
  // Runs a read by `way` on the controls' settings and counts its card, or shows its message.
  void ReadAndCount(ReadWay way);
  bool RowMatches(int row, std::string_view cardText, const CardMatch& match) const;
  std::string Decode(const std::string& text) const;
  void CountInto(int row);
  // Feeds the inventory and, when the list has the inventory columns, sets the row's times.
  void Seen(int row, bool added);

  void ResetIndex();
  void SyncIndex(bool coded);
  void IndexRow(int row, bool coded);

  DialogContext& ctx_;
  RowLookup lookup_;
  ReadClock clock_;
  TagInventory inventory_;

  // Index of rows [0, rows): normalised key -> first row with that key. In two parts, each
  // brought up to date when a read needs it: the decimal rule's keys (text only) and the keys of
  // the rules that decode card texts with the driver, so that a decimal read never calls it.
  struct IndexPart {
    int rows = 0;
    std::string lastText;  // Card Number of row rows - 1, to notice a changed list
  };
  IndexPart textPart_;
  IndexPart codedPart_;
  std::unordered_map<std::string, int> decimalRows_;  // first 8 / first 10 characters
  std::unordered_map<std::string, int> hexRows_;      // first len/2 decoded bytes
  std::unordered_map<std::string, int> epcRows_;      // first (EPC Length cell) decoded bytes
};

}  // namespace uhf
