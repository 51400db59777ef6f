// One tag read against a growing tag list held by the in-memory surface.

#include "bench_tag_list.h"

#include "ui/MemorySurface.h"

namespace {
void BM_MemoryList(benchmark::State& state, uhf::bench::Way way, uhf::RowLookup lookup) {
  uhf::bench::ReadIntoList<uhf::MemorySurface>(state, way, lookup);
}
}  // namespace

UHF_TAG_LIST_BENCHMARKS(BM_MemoryList);

BENCHMARK_MAIN();
