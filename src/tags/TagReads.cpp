#include "tags/TagReads.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>

#include "dialog/ControlIds.h"
#include "tags/CardFormats.h"

namespace uhf {

namespace {

constexpr std::size_t kResponseSize = 256;
constexpr std::uint8_t kResponseLengthBefore = 16;
constexpr std::size_t kEpcBufferSize = 50;
constexpr std::size_t kCardBufferSize = 50;
constexpr int kMaxEpcLength = 20;  // longest EPC the decimal and hexadecimal reads accept

// Cell read-back buffers: room for 29 characters of a card text, 3 of a count or EPC length,
// and 40 for the EPC rule (the hexadecimal text of the longest EPC it accepts).
constexpr std::size_t kCardTextBuffer = 30;
constexpr std::size_t kShortCellBuffer = 4;
constexpr std::size_t kEpcTextBuffer = 2 * kMaxEpcLength + 1;
// A count cell that fills its 3 characters may hold more: read it again with this much room.
constexpr std::size_t kFullCountBuffer = 32;

// Value of an EPC Length cell under the EPC rule: one or two decimal digits, else -1.
int EpcLengthCell(std::string_view cell) {
  if (cell.empty() || cell.size() > 2) return -1;
  int value = 0;
  for (char c : cell) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string BytesKey(const std::uint8_t* bytes, std::size_t count) {
  return std::string(reinterpret_cast<const char*>(bytes), count);
}

struct Reply {
  std::array<std::uint8_t, kResponseSize> response{};
  std::uint8_t length = kResponseLengthBefore;
  int epcStart = 0;
  int epcLength = 0;

  const std::uint8_t* Epc() const { return response.data() + epcStart; }
};

// One driver read and the EPC found by the reader kind: at byte 2, reply length - 2 bytes, for
// kind 2; at byte 3, reply length - 4 bytes (one byte follows it), for the others. False when
// the read fails or the reply is too short to hold its header and trailing byte (the length
// would wrap round to a huge EPC).
bool ReadReply(ReaderDriver& driver, std::uint8_t readerKind, Reply& reply) {
  reply.response.fill(0);
  reply.length = kResponseLengthBefore;
  if (driver.UhfReadTag(ReaderBusAddress, reply.response.data(), &reply.length) != 0) {
    return false;
  }
  const bool kind2 = readerKind == 2;
  const int overhead = kind2 ? 2 : 4;
  if (reply.length < overhead) return false;
  reply.epcStart = kind2 ? 2 : 3;
  reply.epcLength = reply.length - overhead;
  return true;
}

TagReadResult Silent() {
  return {std::nullopt, ReadFailure::Silent};
}

TagReadResult Read(std::string cardText, CardMatch match, int epcLength) {
  return {CardRead{std::move(cardText), std::move(match), epcLength}, ReadFailure::None};
}

// The decimal Wiegand way.
TagReadResult ReadDecimal(ReaderDriver& driver, const TagReadSettings& settings) {
  const int startByte = settings.startByte;
  // Without a start byte there is no window to convert.
  if (startByte < 0) return Silent();

  Reply reply;
  if (!ReadReply(driver, settings.readerKind, reply)) return Silent();
  if (reply.epcLength == 0) return Silent();

  const WiegandFrame frame = settings.wiegand34 ? WiegandFrame::W34 : WiegandFrame::W26;
  if (startByte + CardBytes(frame) > reply.epcLength) return Silent();
  if (reply.epcLength > kMaxEpcLength) return Silent();

  std::array<std::uint8_t, kEpcBufferSize> epc{};
  std::memcpy(epc.data(), reply.Epc(), static_cast<std::size_t>(reply.epcLength));
  const bool inverted = !settings.forward;
  std::string cardText = WiegandCardText(
      std::span(epc.data(), static_cast<std::size_t>(reply.epcLength)), startByte, frame, inverted);
  return Read(std::move(cardText), CardMatch::Decimal(), reply.epcLength);
}

// The Read Tag button: the window check first, on both ways.
TagReadResult ReadTagButton(ReaderDriver& driver, const TagReadSettings& settings) {
  const int startByte = settings.startByte;
  const int lengthIndex = settings.lengthIndex;
  if (!PassesWindowCheck(settings, ReadWay::ReadTag)) {
    return {std::nullopt, ReadFailure::WindowCheck};
  }
  if (settings.usb) return ReadDecimal(driver, settings);
  // Without a start byte or a length there is no window to output.
  if (startByte < 0 || lengthIndex < 0) return Silent();

  Reply reply;
  if (!ReadReply(driver, settings.readerKind, reply)) return Silent();
  if (reply.epcLength == 0) return Silent();

  std::array<std::uint8_t, kEpcBufferSize> epc{};
  std::memcpy(epc.data(), reply.Epc(), kTagNumberBytes);

  const int length = lengthIndex + 1;
  const std::uint8_t inverted = settings.forward ? 0 : 1;
  // Only the first 12 EPC bytes were copied; never let the driver read beyond them.
  const auto epcLength = static_cast<std::uint8_t>(std::min(reply.epcLength, kTagNumberBytes));
  std::array<std::uint8_t, kCardBufferSize> card{};
  if (driver.EpcOutput(epc.data(), epcLength, inverted, startByte, length, card.data()) != 0) {
    return {std::nullopt, ReadFailure::CardOutput};
  }

  std::string cardText;
  for (int i = 0; i < length; ++i) cardText += ByteToHex(card[static_cast<std::size_t>(i)]);
  return Read(std::move(cardText),
              CardMatch::Hexadecimal(std::span(card.data(), static_cast<std::size_t>(length))),
              reply.epcLength);
}

// The whole EPC as hexadecimal text.
TagReadResult ReadHexadecimal(ReaderDriver& driver, const TagReadSettings& settings) {
  Reply reply;
  if (!ReadReply(driver, settings.readerKind, reply)) return Silent();
  if (reply.epcLength == 0 || reply.epcLength > kMaxEpcLength) return Silent();

  std::array<std::uint8_t, kEpcBufferSize> epc{};
  std::memcpy(epc.data(), reply.Epc(), static_cast<std::size_t>(reply.epcLength));
  std::string cardText;
  for (int i = 0; i < reply.epcLength; ++i) cardText += ByteToHex(epc[static_cast<std::size_t>(i)]);
  return Read(std::move(cardText),
              CardMatch::Epc(std::span(epc.data(), static_cast<std::size_t>(reply.epcLength))),
              reply.epcLength);
}

}  // namespace

TagReadSettings TagReadSettingsOf(DialogContext& ctx) {
  const ControlSurface& surface = ctx.surface;
  TagReadSettings settings;
  settings.startByte = surface.ComboGetSel(idc::StartBytes);
  settings.lengthIndex = surface.ComboGetSel(idc::Length);
  settings.usb = surface.GetCheck(idc::Usb) == 1;
  settings.wiegand34 = surface.GetCheck(idc::Wiegand34) == 1;
  settings.forward = surface.GetCheck(idc::ForwardOutput) == 1;
  settings.readerKind = ctx.state.readerKind;
  return settings;
}

bool PassesWindowCheck(const TagReadSettings& settings, ReadWay way) {
  return way != ReadWay::ReadTag ||
         settings.startByte + settings.lengthIndex + 1 <= kTagNumberBytes;
}

bool CountingCallsDriver(const TagReadSettings& settings, ReadWay way) {
  switch (way) {
    case ReadWay::ReadTag:
      return !settings.usb;
    case ReadWay::Decimal:
      return false;
    case ReadWay::Hexadecimal:
      return true;
  }
  return true;
}

TagReadResult ReadCard(ReaderDriver& driver, const TagReadSettings& settings, ReadWay way) {
  switch (way) {
    case ReadWay::ReadTag:
      return ReadTagButton(driver, settings);
    case ReadWay::Decimal:
      return ReadDecimal(driver, settings);
    case ReadWay::Hexadecimal:
      return ReadHexadecimal(driver, settings);
  }
  return Silent();
}

TagReads::TagReads(DialogContext& ctx, RowLookup lookup) : ctx_(ctx), lookup_(lookup) {}

void TagReads::ReadAndCount(ReadWay way) {
  const TagReadResult result = ReadCard(ctx_.driver, TagReadSettingsOf(ctx_), way);
  switch (result.failure) {
    case ReadFailure::WindowCheck:
      ctx_.ShowMessage(ctx_.state.texts.MESSAGE_LENGHT_BYTES_PARAMETER_ERROR);
      return;
    case ReadFailure::CardOutput:
      ctx_.ShowMessage(ctx_.state.texts.MESSAGE_FREQ_ERROR);
      return;
    case ReadFailure::Silent:
    case ReadFailure::None:
      break;
  }
  if (result.card) CountRead(*result.card);
}

void TagReads::OnReadTag() {
  ReadAndCount(ReadWay::ReadTag);
}

void TagReads::ReadTagUSB() {
  ReadAndCount(ReadWay::Decimal);
}

void TagReads::OnReadTagTestDecimal() {
  ReadTagUSB();
}

void TagReads::OnReadTagUSB() {
  ReadTagUSB();
}

void TagReads::OnReadTagTestHex() {
  ReadAndCount(ReadWay::Hexadecimal);
}

void TagReads::AddOrCountCard(std::string_view cardText, const CardMatch& match, int epcLength) {
  ControlSurface& surface = ctx_.surface;
  const int rows = surface.ListCount(idc::TagList);
  const int row = FindRow(cardText, match);
  if (row >= 0) {
    CountInto(row);
    Seen(row, false);
    return;
  }
  const int added = surface.ListInsertItem(idc::TagList, rows, FormatRowNumber(rows + 1));
  surface.ListSetItemText(idc::TagList, added, kTagColumnCard, cardText);
  surface.ListSetItemText(idc::TagList, added, kTagColumnEpcLength, FormatCount(epcLength));
  surface.ListSetItemText(idc::TagList, added, kTagColumnCount, FormatCount(1));
  Seen(added, true);
}

void TagReads::Seen(int row, bool added) {
  const ReadTime now = Now();
  inventory_.Count(added, now.steady);
  ControlSurface& surface = ctx_.surface;
  if (surface.ListColumnCount(idc::TagList) <= kTagColumnLastSeen) return;
  const std::string text = FormatSeenTime(now.wall);
  if (added) surface.ListSetItemText(idc::TagList, row, kTagColumnFirstSeen, text);
  surface.ListSetItemText(idc::TagList, row, kTagColumnLastSeen, text);
}

void TagReads::ClearList() {
  ctx_.surface.ListDeleteAll(idc::TagList);
  ResetIndex();
  inventory_.Clear();
}

void AddSeenColumns(ControlSurface& surface) {
  if (surface.ListColumnCount(idc::TagList) != kTagColumnFirstSeen) return;
  surface.ListInsertColumn(idc::TagList, kTagColumnFirstSeen, kFirstSeenHeading, kSeenColumnWidth);
  surface.ListInsertColumn(idc::TagList, kTagColumnLastSeen, kLastSeenHeading, kSeenColumnWidth);
}

// Success Times + 1. The cell is read back with room for 3 characters, which is exact up to 999;
// a cell that fills them is read again in full so that 1000 does not come back as 100.
void TagReads::CountInto(int row) {
  ControlSurface& surface = ctx_.surface;
  const std::string shown =
      surface.ListGetItemText(idc::TagList, row, kTagColumnCount, kShortCellBuffer);
  long long count = ParseCount(shown);
  if (shown.size() == kShortCellBuffer - 1) {
    const std::string full =
        surface.ListGetItemText(idc::TagList, row, kTagColumnCount, kFullCountBuffer);
    const bool digits =
        full.size() > shown.size() &&
        std::all_of(full.begin(), full.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
      long long exact = 0;
      const auto [end, error] = std::from_chars(full.data(), full.data() + full.size(), exact);
      // A count too large to hold, or to step, stays as it is rather than wrap round.
      if (error != std::errc() || end != full.data() + full.size() || exact == LLONG_MAX) return;
      count = exact;
    }
  }
  surface.ListSetItemText(idc::TagList, row, kTagColumnCount, FormatCount(count + 1));
}

void TagReads::OnTagListDblClk() {
  const MessageResult answer =
      ctx_.surface.MessageBox(ctx_.state.texts.MESSAGE_DELETE, ctx_.state.texts.MESSAGE_WARNNING,
                              MessageButtons::OkCancel, MessageIcon::None);
  if (answer == MessageResult::Ok) ClearList();
}

// The driver's a_hex of the whole text, into a zeroed buffer with room for every byte it gives.
std::string TagReads::Decode(const std::string& text) const {
  std::array<std::uint8_t, kCardBufferSize> bytes{};
  ctx_.driver.a_hex(text.c_str(), bytes.data(), static_cast<std::int32_t>(text.size()));
  return BytesKey(bytes.data(), std::min(bytes.size(), (text.size() + 1) / 2));
}

bool TagReads::RowMatches(int row, std::string_view cardText, const CardMatch& match) const {
  const ControlSurface& surface = ctx_.surface;
  switch (match.rule) {
    case CardRule::Decimal: {
      const std::string text =
          surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kCardTextBuffer);
      return text.size() >= cardText.size() && text.compare(0, cardText.size(), cardText) == 0;
    }
    case CardRule::Hexadecimal: {
      const std::size_t length = match.bytes.size();
      const std::string text =
          surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kCardTextBuffer);
      if (text.size() != 2 * length && text.size() != 2 * length + 1) return false;
      return Decode(text).compare(0, length, BytesKey(match.bytes.data(), length)) == 0;
    }
    case CardRule::Epc: {
      const std::size_t length = match.bytes.size();
      const std::string cell =
          surface.ListGetItemText(idc::TagList, row, kTagColumnEpcLength, kShortCellBuffer);
      if (EpcLengthCell(cell) != static_cast<int>(length)) return false;
      const std::string text =
          surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kEpcTextBuffer);
      if (text.size() / 2 < length) return false;
      return Decode(text).compare(0, length, BytesKey(match.bytes.data(), length)) == 0;
    }
  }
  return false;
}

int TagReads::ScanForRow(std::string_view cardText, const CardMatch& match) const {
  const int rows = ctx_.surface.ListCount(idc::TagList);
  for (int row = 0; row < rows; ++row) {
    if (RowMatches(row, cardText, match)) return row;
  }
  return -1;
}

int TagReads::FindRow(std::string_view cardText, const CardMatch& match) {
  if (lookup_ == RowLookup::Scan) return ScanForRow(cardText, match);
  // The index holds the 8- and 10-character prefixes only.
  if (match.rule == CardRule::Decimal && cardText.size() != 8 && cardText.size() != 10) {
    return ScanForRow(cardText, match);
  }
  // The decimal rule's part of the index compares text; the others' decode with the driver.
  SyncIndex(match.rule != CardRule::Decimal);
  const std::unordered_map<std::string, int>* rows = nullptr;
  std::string key;
  switch (match.rule) {
    case CardRule::Decimal:
      rows = &decimalRows_;
      key = std::string(cardText);
      break;
    case CardRule::Hexadecimal:
      rows = &hexRows_;
      key = BytesKey(match.bytes.data(), match.bytes.size());
      break;
    case CardRule::Epc:
      // The index holds EPC lengths 1 to 20, the ones a read can produce.
      if (match.bytes.empty() || match.bytes.size() > static_cast<std::size_t>(kMaxEpcLength)) {
        return ScanForRow(cardText, match);
      }
      rows = &epcRows_;
      key = BytesKey(match.bytes.data(), match.bytes.size());
      break;
  }
  const auto found = rows->find(key);
  if (found == rows->end()) return -1;
  // A hit is confirmed on the row itself; should the list have changed in a way the index did
  // not notice, start the index afresh and answer by the scan.
  if (!RowMatches(found->second, cardText, match)) {
    ResetIndex();
    return ScanForRow(cardText, match);
  }
  return found->second;
}

void TagReads::ResetIndex() {
  textPart_ = {};
  codedPart_ = {};
  decimalRows_.clear();
  hexRows_.clear();
  epcRows_.clear();
}

// Rows are only ever appended, or all deleted at once; index the rows added since the last read,
// and start afresh when the list shrank or the part's last indexed row is no longer the same.
void TagReads::SyncIndex(bool coded) {
  const ControlSurface& surface = ctx_.surface;
  const int rows = surface.ListCount(idc::TagList);
  IndexPart& part = coded ? codedPart_ : textPart_;
  if (rows < part.rows ||
      (part.rows > 0 && surface.ListGetItemText(idc::TagList, part.rows - 1, kTagColumnCard,
                                                kEpcTextBuffer) != part.lastText)) {
    ResetIndex();
  }
  for (int row = part.rows; row < rows; ++row) IndexRow(row, coded);
  part.rows = rows;
}

// The keys under which each rule of the part would find this row; the first row keeps a key.
void TagReads::IndexRow(int row, bool coded) {
  const ControlSurface& surface = ctx_.surface;
  const std::string text =
      surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kCardTextBuffer);
  const std::string longText =
      surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kEpcTextBuffer);
  (coded ? codedPart_ : textPart_).lastText = longText;

  if (!coded) {
    for (std::size_t prefix : {std::size_t{8}, std::size_t{10}}) {
      if (text.size() >= prefix) decimalRows_.try_emplace(text.substr(0, prefix), row);
    }
    return;
  }

  // Hexadecimal rule: a text of 2L or 2L+1 characters stands for its first L decoded bytes.
  const std::size_t length = text.size() / 2;
  std::string decoded;
  if (length > 0) decoded = Decode(text);
  hexRows_.try_emplace(decoded.substr(0, length), row);

  // EPC rule: the cell names how many decoded bytes count.
  const int epcLength = EpcLengthCell(
      surface.ListGetItemText(idc::TagList, row, kTagColumnEpcLength, kShortCellBuffer));
  if (epcLength <= 0 || longText.size() / 2 < static_cast<std::size_t>(epcLength)) return;
  const std::string& epcDecoded = (longText == text && length > 0) ? decoded : Decode(longText);
  epcRows_.try_emplace(epcDecoded.substr(0, static_cast<std::size_t>(epcLength)), row);
}

}  // namespace uhf
