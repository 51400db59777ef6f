// Continuous reading in the real Win32 window, engineering view, with 10,000 rows in the tag list
// and the exchange log pane filling as the window does. One line per reader latency:
//   reads_per_s / driver_reads_per_s = ratio   reads counted into the list against the reader's
//                                              own rate (the same reads back to back)
//   message_ms mean / p99 / max                the window thread's time for one message while
//                                              reading: the longest is what the user feels as a
//                                              stall
//   frame_ms mean / max                        the time to repaint the whole window while reading
//
//   bench_window_reading_win.exe [--rows=N] [LATENCY_US ...]   (default 10000 rows; 200 1000 5000)
#include "ui/win32/WindowsApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <set>
#include <vector>

#include "ReadLatency.h"
#include "WindowReading.h"
#include "app/ToolAssembly.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/InstrumentedReader.h"
#include "ui/win32/Win32Surface.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace uhf;

std::uint32_t rows_ = 10000;  // in the list before reading
constexpr auto kRun = std::chrono::seconds(3);

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the window's messages until `end`; the time each one took goes to `messageMs`.
void Pump(Clock::time_point end, std::vector<double>* messageMs) {
  MSG msg;
  while (Clock::now() < end) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      continue;
    }
    const auto start = Clock::now();
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (messageMs != nullptr) messageMs->push_back(MsSince(start));
  }
}

bool RunOnce(std::chrono::microseconds latency) {
  InstrumentedReader reader;
  bench::ReadLatency driver(reader.Device(), std::chrono::microseconds(0));
  Win32Surface surface(MainDialogTemplate(),
                       std::set<int>(kHoverButtonIds.begin(), kHoverButtonIds.end()));
  WiredDialog wired(surface, driver, DialogPlatform{}, DialogView::Engineering);
  ShowWindow(surface.Window(), SW_SHOW);
  UpdateWindow(surface.Window());
  const auto click = [&wired](int id) { wired.Dispatch(id, Notification::Clicked); };

  const auto fill = Clock::now();
  if (!bench::FillForReading(wired, surface, reader, rows_)) return false;
  std::printf("filled %u rows by single reads in %.1f s\n", rows_, MsSince(fill) / 1000);
  Pump(Clock::now() + std::chrono::milliseconds(200), nullptr);
  driver.Set(latency);

  const double driverRate = bench::ReaderOwnRate(driver, kRun);

  const long long before = wired.Dialog().Tags().Inventory().TotalReads();
  std::vector<double> messages;
  std::vector<double> frames;
  const auto start = Clock::now();
  click(idc::StartStopReads);
  for (auto next = start; next < start + kRun;) {
    next += std::chrono::milliseconds(200);  // a frame every 200 ms
    Pump(std::min(next, start + kRun), &messages);
    const auto frame = Clock::now();
    RedrawWindow(surface.Window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    frames.push_back(MsSince(frame));
  }
  click(idc::StartStopReads);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double rate =
      static_cast<double>(wired.Dialog().Tags().Inventory().TotalReads() - before) / seconds;
  const bool grew = surface.ListCount(idc::TagList) != static_cast<int>(rows_);
  std::printf(
      "latency_us=%lld reads_per_s=%.0f driver_reads_per_s=%.0f ratio=%.3f message_ms "
      "mean=%.2f p99=%.2f max=%.2f frame_ms mean=%.2f max=%.2f%s\n",
      static_cast<long long>(latency.count()), rate, driverRate, rate / driverRate,
      bench::Mean(messages), bench::Quantile(messages, 0.99), bench::Quantile(messages, 1.0),
      bench::Mean(frames), bench::Quantile(frames, 1.0),
      grew ? " (a repeated read added a row)" : "");
  std::fflush(stdout);
  return !grew;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<long long> latencies;
  for (int i = 1; i < argc; ++i) {
    if (std::wcsncmp(argv[i], L"--rows=", 7) == 0) {
      rows_ = static_cast<std::uint32_t>(std::wcstoul(argv[i] + 7, nullptr, 10));
    } else {
      latencies.push_back(std::wcstoll(argv[i], nullptr, 10));
    }
  }
  if (latencies.empty()) latencies = {200, 1000, 5000};
  bool ok = true;
  for (long long us : latencies) ok = RunOnce(std::chrono::microseconds(us)) && ok;
  return ok ? 0 : 1;
}
