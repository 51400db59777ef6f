// One tag read against a growing tag list held by the real Qt list view (offscreen).

#include <QApplication>

#include <cstdlib>

#include "bench_tag_list.h"
#include "ui/qt/QtSurface.h"

namespace {
void BM_QtList(benchmark::State& state, uhf::bench::Way way, uhf::RowLookup lookup) {
  uhf::bench::ReadIntoList<uhf::QtSurface>(state, way, lookup);
}
}  // namespace

UHF_TAG_LIST_BENCHMARKS(BM_QtList);

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
