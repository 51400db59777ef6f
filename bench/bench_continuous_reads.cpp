// Continuous reading into a tag list that already holds 10,000 rows, with the simulated reader
// answering each read after a fixed latency, through the exchange log the window keeps. Reported
// per run:
//   reads_per_s         reads counted into the list per second
//   driver_reads_per_s  the reader's own rate: the same reads called back to back on one thread
//   ratio               reads_per_s / driver_reads_per_s (goal: at least 0.95)
//   updates_per_s       batches counted on the window's thread per second (goal: at least 10)
//   update_us_mean/max  time the window's thread spent counting one batch
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "ReadLatency.h"
#include "bench_tag_list.h"
#include "driver/ExchangeLogLines.h"
#include "driver/LoggingDriver.h"
#include "tags/ContinuousReads.h"
#include "ui/MemorySurface.h"

namespace uhf::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRows = 10000;
constexpr auto kRun = std::chrono::milliseconds(2000);

// The window's thread: tasks posted from the worker, run in order by the thread that drains.
class WindowThread {
 public:
  void Post(std::function<void()> task) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
  }
  // Runs tasks until `until`; each task's duration goes to `spent`.
  void RunUntil(Clock::time_point until, std::vector<double>& spent) {
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ready_.wait_until(lock, until, [this] { return !tasks_.empty(); })) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      const auto start = Clock::now();
      task();
      spent.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
};

void ContinuousIntoFullList(benchmark::State& state, Way way) {
  const std::chrono::microseconds latency(state.range(0));
  Dialog<MemorySurface> dialog(way);
  TagReads reads(dialog.ctx);
  for (std::uint32_t i = 0; i < kRows; ++i) {
    dialog.reader.QueueRawReply(Reply(TagNumber(i)));
    Read(reads, way);
  }
  if (dialog.surface.ListCount(idc::TagList) != static_cast<int>(kRows)) {
    state.SkipWithError("the list did not fill");
    return;
  }
  // The field: 200 tags of the list, spread over it, read in turn (none of the factory field).
  dialog.reader.State().tags.clear();
  for (std::uint32_t i = 0; i < 200; ++i) {
    std::vector<std::uint8_t> reply = Reply(TagNumber(i * 47));
    dialog.reader.State().tags.emplace_back(reply.begin() + 3, reply.end() - 1);
  }
  dialog.reader.ClearCalls();
  // From here the device itself, without the call record, behind the read latency.
  ReadLatency driver(dialog.reader.Device(), latency);
  // The window's driver: every call is also kept for the exchange log pane.
  ExchangeLogLines log;
  LoggingDriver logged(driver, log.Sink());
  DialogContext ctx{dialog.surface, logged, dialog.state};
  TagReads counting(ctx);
  Read(counting, way);  // the window's instance has its row index already: build this one's
  const ReadWay readWay = way == Way::Hex ? ReadWay::Hexadecimal : ReadWay::ReadTag;

  for (auto _ : state) {
    const double driverRate = bench::ReaderOwnRate(driver, kRun);
    WindowThread window;
    ContinuousReads::Hooks hooks;
    hooks.post = [&window](std::function<void()> task) { window.Post(std::move(task)); };
    ContinuousReads continuous(ctx, counting, hooks);
    std::vector<double> spent;
    const auto start = Clock::now();
    continuous.Start(readWay, std::chrono::milliseconds(0));
    window.RunUntil(start + kRun, spent);
    continuous.Stop();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double rate = static_cast<double>(continuous.Counted()) / seconds;

    if (continuous.Failed() != 0) state.SkipWithError("a read failed");
    if (dialog.surface.ListCount(idc::TagList) != static_cast<int>(kRows)) {
      state.SkipWithError("a repeated read added a row");
    }
    double sum = 0;
    for (double us : spent) sum += us;
    state.counters["reads_per_s"] = rate;
    state.counters["driver_reads_per_s"] = driverRate;
    state.counters["ratio"] = rate / driverRate;
    state.counters["updates_per_s"] = static_cast<double>(spent.size()) / seconds;
    state.counters["update_us_mean"] = spent.empty() ? 0 : sum / static_cast<double>(spent.size());
    state.counters["update_us_max"] =
        spent.empty() ? 0 : *std::max_element(spent.begin(), spent.end());
  }
}

void Latencies(benchmark::internal::Benchmark* b) {
  for (int us : {200, 1000, 5000}) b->Arg(us);
  b->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_CAPTURE(ContinuousIntoFullList, decimal, Way::Decimal)->Apply(Latencies);
BENCHMARK_CAPTURE(ContinuousIntoFullList, epcoutput, Way::EpcOutput)->Apply(Latencies);
BENCHMARK_CAPTURE(ContinuousIntoFullList, hex, Way::Hex)->Apply(Latencies);

}  // namespace
}  // namespace uhf::bench

BENCHMARK_MAIN();
