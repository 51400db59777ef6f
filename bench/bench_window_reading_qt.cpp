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
#include "app/ToolWindow.h"
#include "bench_tag_list.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace uhf;

constexpr std::uint32_t kRows = 10000;
constexpr auto kRun = std::chrono::seconds(3);

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}
double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

bool RunOnce(std::chrono::microseconds latency) {
  InstrumentedReader reader;
  bench::ReadLatency driver(reader.Device(), std::chrono::microseconds(0));
  ToolWindow tool(driver, DialogPlatform{}, DialogView::Engineering);
  tool.Window()->show();
  QApplication::processEvents();
  WiredDialog& wired = tool.Wired();
  QtSurface& surface = tool.Surface();
  const auto click = [&wired](int id) { wired.Dispatch(id, Notification::Clicked); };

  // A USB link; decimal reads of bytes 4 to 7 of each EPC, where Reply() puts the tag's number.
  click(idc::Connect);
  surface.SetCheck(idc::Usb, 1);
  surface.ComboSetSel(idc::StartBytes, 4);
  surface.ComboSetSel(idc::Length, 3);
  surface.SetText(idc::TagInterval, "0");
  for (std::uint32_t i = 0; i < kRows; ++i) {
    reader.QueueRawReply(bench::Reply(bench::TagNumber(i)));
    click(idc::ReadTagTestDecimal);
  }
  if (surface.ListCount(idc::TagList) != static_cast<int>(kRows)) {
    std::fprintf(stderr, "the list did not fill: %d rows\n", surface.ListCount(idc::TagList));
    return false;
  }
  reader.State().tags.clear();
  for (std::uint32_t i = 0; i < 200; ++i) {
    const std::vector<std::uint8_t> reply = bench::Reply(bench::TagNumber(i * 47));
    reader.State().tags.emplace_back(reply.begin() + 3, reply.end() - 1);
  }
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
      static_cast<long long>(latency.count()), rate, driverRate, rate / driverRate, Mean(late),
      Quantile(late, 0.99), Quantile(late, 1.0), Mean(frames), Quantile(frames, 1.0),
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
