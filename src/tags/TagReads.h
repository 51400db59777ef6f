#pragma once
// Reading one tag on demand into the tag list, and the three test reads. The list view is the
// only store of results: one row per distinct card number with its read count, found again by
// reading the cells back. An index kept in step with the list spares the reads a scan of every
// row; it never changes which row a read counts into.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dialog/DialogContext.h"

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

// How rows are looked up: the index, or a scan that reads every row back on every read.
enum class RowLookup { Indexed, Scan };

class TagReads {
 public:
  // Keep one instance for the dialog's lifetime: the index lives in it (a new instance rebuilds
  // the index from the list on its first read).
  explicit TagReads(DialogContext& ctx, RowLookup lookup = RowLookup::Indexed);

  // Read Tag button (1018).
  void OnReadTag();
  // The decimal Wiegand way; also buttons 1066 and 1081.
  void ReadTagUSB();
  // Count a read into the first row that matches, or append a row for it.
  void AddOrCountCard(std::string_view cardText, const CardMatch& match, int epcLength);
  // Double-click on the tag list: after confirmation, delete every row.
  void OnTagListDblClk();
  // Buttons 1066, 1067 and 1081.
  void OnReadTagTestDecimal();
  void OnReadTagTestHex();
  void OnReadTagUSB();

  // The row a read with this card text and rule would count into, or -1: through the chosen
  // lookup, and by the plain scan of every row from the top.
  int FindRow(std::string_view cardText, const CardMatch& match);
  int ScanForRow(std::string_view cardText, const CardMatch& match) const;

 private:
  struct Reply;

  bool ReadReply(Reply& reply);
  bool RowMatches(int row, std::string_view cardText, const CardMatch& match) const;
  std::string Decode(const std::string& text) const;
  void CountInto(int row);

  void ResetIndex();
  void SyncIndex();
  void IndexRow(int row);

  DialogContext& ctx_;
  RowLookup lookup_;

  // Index of rows [0, indexedRows_): normalised key -> first row with that key.
  int indexedRows_ = 0;
  std::string lastIndexedText_;  // Card Number of row indexedRows_ - 1, to notice a changed list
  std::unordered_map<std::string, int> decimalRows_;  // first 8 / first 10 characters
  std::unordered_map<std::string, int> hexRows_;      // first len/2 decoded bytes
  std::unordered_map<std::string, int> epcRows_;      // first (EPC Length cell) decoded bytes
};

}  // namespace uhf
