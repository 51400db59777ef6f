#pragma once
// Cost of one tag read as the tag list grows. The list is filled with n distinct cards, then each
// iteration reads one of them again, so the read counts into an existing row spread over the
// list. Each way of reading, with the row index and with the plain scan of every row, on the
// surface given (in memory, or the real Qt window).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TagReplies.h"
#include "dialog/ControlIds.h"
#include "dialog/DialogContext.h"
#include "dialog/InterfaceText.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/InstrumentedReader.h"
#include "tags/TagReads.h"

namespace uhf::bench {

enum class Way { EpcOutput, Decimal, Hex };

template <class Surface>
struct Dialog {
  Surface surface{MainDialogTemplate()};
  InstrumentedReader reader;
  DialogState state;
  DialogContext ctx{surface, reader, state};

  explicit Dialog(Way way) {
    state.linkOpen = true;
    surface.ComboReset(idc::StartBytes);
    surface.ComboReset(idc::Length);
    for (int i = 0; i < 12; ++i) {
      surface.ComboAdd(idc::StartBytes, std::to_string(i));
      surface.ComboAdd(idc::Length, std::to_string(i + 1));
    }
    surface.ComboSetSel(idc::StartBytes, 4);
    surface.ComboSetSel(idc::Length, 3);
    surface.SetCheck(idc::Usb, way == Way::Decimal ? 1 : 0);
    surface.SetCheck(idc::Wiegand34, 1);
    surface.SetCheck(idc::ForwardOutput, 1);
    const char* headings[] = {"No.", "Card Number", "Success Times", "EPC Length"};
    const int widths[] = {90, 250, 150, 150};
    for (int c = 0; c < 4; ++c) surface.ListInsertColumn(idc::TagList, c, headings[c], widths[c]);
    reader.OpenCom(100, 115200);
  }
};

inline void Read(TagReads& reads, Way way) {
  if (way == Way::Hex) {
    reads.OnReadTagTestHex();
  } else {
    reads.OnReadTag();
  }
}

template <class Surface>
void ReadIntoList(benchmark::State& state, Way way, RowLookup lookup) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  Dialog<Surface> dialog(way);
  TagReads filler(dialog.ctx, RowLookup::Indexed);  // fills fast; the list is the same either way
  for (std::uint32_t i = 0; i < rows; ++i) {
    dialog.reader.QueueRawReply(Reply(TagNumber(i)));
    Read(filler, way);
    dialog.reader.ClearCalls();
  }
  if (dialog.surface.ListCount(idc::TagList) != static_cast<int>(rows)) {
    state.SkipWithError("the list did not fill");
    return;
  }
  TagReads reads(dialog.ctx, lookup);
  std::uint32_t next = 0;
  for (auto _ : state) {
    next = (next + 7919) % rows;
    dialog.reader.QueueRawReply(Reply(TagNumber(next)));
    Read(reads, way);
    dialog.reader.ClearCalls();  // the simulated reader records every call
  }
  if (dialog.surface.ListCount(idc::TagList) != static_cast<int>(rows)) {
    state.SkipWithError("a repeated read added a row");
  }
}

inline void Sizes(benchmark::internal::Benchmark* b) {
  for (int rows : {10, 100, 1000, 10000}) b->Arg(rows);
  b->Unit(benchmark::kMicrosecond);
}

}  // namespace uhf::bench

// Registers every way and lookup for `function`, a (state, Way, RowLookup) benchmark.
#define UHF_TAG_LIST_BENCHMARKS(function)                                                         \
  BENCHMARK_CAPTURE(function, epcoutput_indexed, uhf::bench::Way::EpcOutput,                      \
                    uhf::RowLookup::Indexed)                                                      \
      ->Apply(uhf::bench::Sizes);                                                                 \
  BENCHMARK_CAPTURE(function, decimal_indexed, uhf::bench::Way::Decimal, uhf::RowLookup::Indexed) \
      ->Apply(uhf::bench::Sizes);                                                                 \
  BENCHMARK_CAPTURE(function, hex_indexed, uhf::bench::Way::Hex, uhf::RowLookup::Indexed)         \
      ->Apply(uhf::bench::Sizes);                                                                 \
  BENCHMARK_CAPTURE(function, epcoutput_scan, uhf::bench::Way::EpcOutput, uhf::RowLookup::Scan)   \
      ->Apply(uhf::bench::Sizes);                                                                 \
  BENCHMARK_CAPTURE(function, decimal_scan, uhf::bench::Way::Decimal, uhf::RowLookup::Scan)       \
      ->Apply(uhf::bench::Sizes);                                                                 \
  BENCHMARK_CAPTURE(function, hex_scan, uhf::bench::Way::Hex, uhf::RowLookup::Scan)               \
      ->Apply(uhf::bench::Sizes)
