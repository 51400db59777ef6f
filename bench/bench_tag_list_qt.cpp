// One tag read against a growing tag list held by the real Qt list view (offscreen).

#include "bench_tag_list.h"
#include "ui/qt/QtSurface.h"

namespace {
void BM_QtList(benchmark::State& state, uhf::bench::Way way, uhf::RowLookup lookup) {
  uhf::bench::ReadIntoList<uhf::QtSurface>(state, way, lookup);
}
}  // namespace

UHF_TAG_LIST_BENCHMARKS(BM_QtList);
