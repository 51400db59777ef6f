// The window's station mode on the Win32 window (under Wine or Windows) over a reader whose every
// call takes 2 s: the window's message loop keeps running its timer while the worker waits on the
// driver, results arrive through the posted message, and closing waits for the reader in progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "app/StationWindow.h"
#include "app/ToolAssembly.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/InstrumentedReader.h"
#include "support/SlowReader.h"
#include "text/Utf8.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

// Runs the window's messages until `done` says so or `timeoutMs` passed; true when done.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Ticks of the timer on the window's thread: the longest gap between two.
long long g_last = 0;
long long g_longestGap = 0;
int g_ticks = 0;
long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const long long now = NowMs();
  if (g_ticks > 0) g_longestGap = std::max(g_longestGap, now - g_last);
  g_last = now;
  ++g_ticks;
}

TEST(StationWindowWin32, StaysResponsiveWhileEachDriverCallTakesTwoSeconds) {
  InstrumentedReader inner;
  // The first poll answers at once; every call of the reader's cycle then takes 2 s.
  SlowReader reader(inner, 3 + 1);
  Win32Surface surface(MainDialogTemplate(),
                       std::set<int>(kHoverButtonIds.begin(), kHoverButtonIds.end()));
  DialogPlatform platform;
  platform.availablePorts = [] { return std::vector<AvailablePort>{}; };
  platform.hostAddress = [] { return std::string(); };
  platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
  WiredDialog dialog(surface, reader, platform);
  ShowWindow(surface.Window(), SW_SHOW);
  bool ended = false;
  auto station = StartStationWindow(surface, dialog.Dialog(), {}, std::chrono::milliseconds(50), {},
                                    [&] { ended = true; });
  const InterfaceText& texts = dialog.Dialog().Texts();
  ASSERT_TRUE(PumpUntil([&] { return station->CycleRunning(); }, 5000));

  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
  const long long start = NowMs();
  PumpUntil([&] { return NowMs() - start > 5000; }, 6000);
  KillTimer(nullptr, timer);
  // A driver call on the window's thread would stop the ticks for a whole call; half of one
  // leaves room for a busy machine.
  EXPECT_LT(g_longestGap, reader.delayMs / 2) << g_ticks << " ticks";
  EXPECT_GT(g_ticks, 50);
  EXPECT_TRUE(station->CycleRunning());
  EXPECT_NE(surface.GetText(idc::StatusPanel).find(texts.STATION_RUNNING), std::string::npos);
  EXPECT_FALSE(surface.IsEnabled(idc::ReadConfig));

  // Closing during the cycle waits for it.
  SendMessageW(surface.Window(), WM_CLOSE, 0, 0);
  PumpUntil([] { return false; }, 200);
  EXPECT_FALSE(ended);
  EXPECT_NE(surface.GetText(idc::StatusPanel).find(texts.STATION_CLOSING), std::string::npos);
  reader.delayMs = 0;
  ASSERT_TRUE(PumpUntil([&] { return ended; }, 10000));
  EXPECT_EQ(station->OkCount(), 1);
  EXPECT_FALSE(inner.LinkOpen());
  // The result's line in green, the counts below it in the neutral colour.
  const std::string panel = surface.GetText(idc::StatusPanel);
  const std::size_t lineBreak = panel.rfind('\n');
  ASSERT_NE(lineBreak, std::string::npos) << panel;
  EXPECT_EQ(surface.RichColorAt(idc::StatusPanel, 0), kStatusGreen);
  const int countsAt = static_cast<int>(Utf8Length(panel.substr(0, lineBreak))) + 1;
  EXPECT_EQ(surface.RichColorAt(idc::StatusPanel, countsAt), kStationNeutral);
}

}  // namespace
}  // namespace uhf
