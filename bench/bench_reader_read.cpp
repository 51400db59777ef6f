// Cost of reading a reader's configuration into the dialog (the "get configuration" button).
// The simulated reader adds a fixed latency to every driver call, as a real link does; the
// counter "ratio" is the measured time over (driver calls x latency), so 1.00 means the tool adds
// nothing of its own to the time the reader takes. A sleep of the host wakes late by a fixed
// amount (tens of microseconds here), which weighs on short latencies: "ratio_vs_sleep" divides
// by the calls times the measured cost of one bare sleep of that latency instead. The run without
// latency shows the dialog-side cost alone.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "sim/InstrumentedReader.h"
#include "ui/MemorySurface.h"

namespace {

using namespace uhf;

// Mean time of one sleep of `latency` on this host, in nanoseconds.
double MeasuredSleepNs(std::chrono::microseconds latency) {
  constexpr int kSleeps = 50;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSleeps; ++i) std::this_thread::sleep_for(latency);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return static_cast<double>(std::chrono::nanoseconds(elapsed).count()) / kSleeps;
}

void BM_ReadConfiguration(benchmark::State& state) {
  const std::chrono::microseconds latency(state.range(0));
  MemorySurface surface{MainDialogTemplate()};
  InstrumentedReader reader;  // in memory: no state file
  reader.SetLatency(latency);
  // No serial ports, no host address, no config.ini: nothing of the machine is needed.
  ReaderConfigDialog dialog(surface, reader, DialogPlatform{});
  surface.SetNotificationHandler(
      [&dialog](int id, Notification notification) { dialog.OnCommand(id, notification); });
  dialog.OnInitDialog();

  std::int64_t calls = 0;
  std::chrono::steady_clock::duration elapsed{};
  for (auto _ : state) {
    reader.ClearCalls();
    const auto start = std::chrono::steady_clock::now();
    dialog.OnConnect();
    elapsed += std::chrono::steady_clock::now() - start;
    calls += static_cast<std::int64_t>(reader.Calls().size());
  }
  if (surface.GetText(idc::StatusPanel) != "读取成功" || !surface.Messages().empty()) {
    state.SkipWithError("the read did not succeed");
    return;
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["calls"] = static_cast<double>(calls) / iterations;
  if (latency.count() > 0) {
    const double elapsedNs = static_cast<double>(std::chrono::nanoseconds(elapsed).count());
    const double nominalNs = static_cast<double>(latency.count()) * 1e3;
    state.counters["ratio"] = elapsedNs / (static_cast<double>(calls) * nominalNs);
    state.counters["ratio_vs_sleep"] =
        elapsedNs / (static_cast<double>(calls) * MeasuredSleepNs(latency));
  }
}

BENCHMARK(BM_ReadConfiguration)
    ->Arg(2000)   // 2 ms per driver call
    ->Arg(10000)  // 10 ms per driver call
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
