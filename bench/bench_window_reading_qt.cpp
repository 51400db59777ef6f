// Continuous reading in the real Qt window (offscreen), engineering view, with 10,000 rows in the
// tag list and the exchange log pane filling as the window does. Reported, one line per reader
// latency:
//   reads_per_s / driver_reads_per_s = ratio   reads counted into the list against the reader's
//                                              own rate (the same reads back to back)
//   loop_late_ms mean / p99 / max              how late a 10 ms timer of the window's thread
//                                              fires while reading: what the user feels as a stall
//   frame_ms mean / max                        the time to render the whole window while reading
//   usage: bench_window_reading_qt [LATENCY_US ...]   (default 200 1000 5000)
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ReadLatency.h"
#include "WindowReading.h"
#include "app/ToolWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace uhf;

constexpr std::uint32_t kRows = 10000;
constexpr auto kRun = std::chrono::seconds(3);

bool RunOnce(std::chrono::microseconds latency) {
  InstrumentedReader reader;
  bench::ReadLatency driver(reader.Device(), std::chrono::microseconds(0));
  ToolWindow tool(driver, DialogPlatform{}, DialogView::Engineering);
  tool.Window()->show();
  QApplication::processEvents();
  WiredDialog& wired = tool.Wired();
  QtSurface& surface = tool.Surface();
  const auto click = [&wired](int id) { wired.Dispatch(id, Notification::Clicked); };

  if (!bench::FillForReading(wired, surface, reader, kRows)) return false;
  driver.Set(latency);

  const double driverRate = bench::ReaderOwnRate(driver, kRun);

  const long long before = wired.Dialog().Tags().Inventory().TotalReads();
  std::vector<double> late;
  std::vector<double> frames;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  auto last = Clock::now();
  int ticks = 0;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    late.push_back(std::chrono::duration<double, std::milli>(now - last).count() - 10.0);
    last = now;
    if (++ticks % 20 == 0) {  // a frame every 200 ms
      QElapsedTimer frame;
      frame.start();
      tool.Window()->grab();
      frames.push_back(static_cast<double>(frame.nsecsElapsed()) / 1e6);
    }
  });
  const auto start = Clock::now();
  click(idc::StartStopReads);
  tick.start(10);
  last = Clock::now();
  while (Clock::now() - start < kRun) QApplication::processEvents(QEventLoop::AllEvents, 5);
  tick.stop();
  click(idc::StartStopReads);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double rate =
      static_cast<double>(wired.Dialog().Tags().Inventory().TotalReads() - before) / seconds;
  const bool grew = surface.ListCount(idc::TagList) != static_cast<int>(kRows);
  std::printf(
      "latency_us=%lld reads_per_s=%.0f driver_reads_per_s=%.0f ratio=%.3f loop_late_ms "
      "mean=%.2f p99=%.2f max=%.2f frame_ms mean=%.2f max=%.2f%s\n",
      static_cast<long long>(latency.count()), rate, driverRate, rate / driverRate,
      bench::Mean(late), bench::Quantile(late, 0.99), bench::Quantile(late, 1.0),
      bench::Mean(frames), bench::Quantile(frames, 1.0),
      grew ? " (a repeated read added a row)" : "");
  return !grew;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::vector<long long> latencies;
  for (int i = 1; i < argc; ++i) latencies.push_back(std::atoll(argv[i]));
  if (latencies.empty()) latencies = {200, 1000, 5000};
  bool ok = true;
  for (long long us : latencies) ok = RunOnce(std::chrono::microseconds(us)) && ok;
  return ok ? 0 : 1;
}
