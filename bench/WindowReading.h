#pragma once
// What the window reading benchmarks (Qt and Win32) share: the engineering view's tag list filled
// with distinct cards over a USB link, the reader then holding 200 of them, and the figures'
// statistics.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "TagReplies.h"
#include "app/ToolAssembly.h"
#include "dialog/ControlIds.h"
#include "sim/InstrumentedReader.h"

namespace uhf::bench {

// Decimal reads of bytes 4 to 7 of each EPC (where Reply() puts the tag's number), no pause
// between reads, `rows` cards in the list; then the reader's field holds 200 cards already
// listed, so reading counts into existing rows. False (said on stderr) when the list did not fill.
inline bool FillForReading(WiredDialog& wired, ControlSurface& surface, InstrumentedReader& reader,
                           std::uint32_t rows) {
  const auto click = [&wired](int id) { wired.Dispatch(id, Notification::Clicked); };
  click(idc::Connect);
  surface.SetCheck(idc::Usb, 1);
  surface.ComboSetSel(idc::StartBytes, 4);
  surface.ComboSetSel(idc::Length, 3);
  surface.SetText(idc::TagInterval, "0");
  for (std::uint32_t i = 0; i < rows; ++i) {
    reader.QueueRawReply(Reply(TagNumber(i)));
    click(idc::ReadTagTestDecimal);
  }
  if (surface.ListCount(idc::TagList) != static_cast<int>(rows)) {
    std::fprintf(stderr, "the list did not fill: %d rows\n", surface.ListCount(idc::TagList));
    return false;
  }
  reader.State().tags.clear();
  for (std::uint32_t i = 0; i < 200 && i * 47 < rows; ++i) {
    const std::vector<std::uint8_t> reply = Reply(TagNumber(i * 47));
    reader.State().tags.emplace_back(reply.begin() + 3, reply.end() - 1);
  }
  return true;
}

inline double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

inline double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

}  // namespace uhf::bench
