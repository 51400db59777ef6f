// The window's station mode on real widgets (offscreen) over a reader whose every call takes 2 s:
// the window's thread keeps running its timers while the worker waits on the driver, the results
// reach the panel through the surface's post hook, and closing waits for the reader in progress.

#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "sim/InstrumentedReader.h"
#include "support/SlowReader.h"

namespace uhf {
namespace {

TEST(StationWindowQt, StaysResponsiveWhileEachDriverCallTakesTwoSeconds) {
  InstrumentedReader inner;
  // The first poll answers at once; every call of the reader's cycle then takes 2 s.
  SlowReader reader(inner, 3 + 1);
  DialogPlatform platform = SystemDialogPlatform();
  platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
  platform.hostAddress = [] { return std::string(); };
  ToolWindow window(reader, platform);
  window.Window()->show();
  const InterfaceText& texts = window.Dialog().Texts();
  window.StartStation({}, std::chrono::milliseconds(50));
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.Station()->CycleRunning(); }, 5000));

  // Ticks of a 10 ms timer on the window's thread, with repaints, over three slow calls.
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longestGap = 0;
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longestGap = std::max(longestGap, now - last);
    last = now;
    ++ticks;
    window.Window()->repaint();
  });
  clock.start();
  timer.start(10);
  QTest::qWait(5000);
  timer.stop();
  // A driver call on the window's thread would stop the ticks for a whole call; half of one
  // leaves room for a busy machine.
  EXPECT_LT(longestGap, reader.delayMs / 2) << ticks << " ticks";
  EXPECT_GT(ticks, 100);
  EXPECT_TRUE(window.Station()->CycleRunning());
  EXPECT_NE(window.Surface().GetText(idc::StatusPanel).find(texts.STATION_RUNNING),
            std::string::npos);
  EXPECT_FALSE(window.Surface().IsEnabled(idc::ReadConfig));

  // Closing during the cycle waits for it: the window stays until the reader is done.
  window.Window()->reject();
  QTest::qWait(200);
  EXPECT_TRUE(window.Window()->isVisible());
  EXPECT_NE(window.Surface().GetText(idc::StatusPanel).find(texts.STATION_CLOSING),
            std::string::npos);
  reader.delayMs = 0;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Window()->isVisible(); }, 10000));
  EXPECT_EQ(window.Station()->OkCount(), 1);
  EXPECT_FALSE(inner.LinkOpen());
}

}  // namespace
}  // namespace uhf
