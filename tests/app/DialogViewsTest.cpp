// The two views of the main dialog on the in-memory surface: Ctrl+E switches in place, the
// command's check mark follows the view, what a read showed survives the round trip, the
// engineering view is usable (a setting changed there is saved to the reader), and in station
// mode a switch waits for the cycle in progress.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/ToolAssembly.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/InstrumentedReader.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

DialogPlatform QuietPlatform() {
  return {[] { return std::vector<AvailablePort>{}; }, [] { return std::string("10.1.2.3"); },
          [] { return std::optional<std::filesystem::path>(); }};
}

struct Seen {
  std::string text;
  int check;
  bool enabled;
  friend bool operator==(const Seen&, const Seen&) = default;
};

std::map<int, Seen> Snapshot(const MemorySurface& surface, bool withEnabled = true) {
  std::map<int, Seen> seen;
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == kNoId) continue;
    seen[control.id] = {surface.GetText(control.id), surface.GetCheck(control.id),
                        withEnabled && surface.IsEnabled(control.id)};
  }
  return seen;
}

TEST(DialogViews, CtrlESwitchesInPlaceAndBack) {
  MemorySurface surface(MainDialogTemplate());
  InstrumentedReader reader;
  WiredDialog wired(surface, reader, QuietPlatform());
  wired.Dialog().OnCommand(idc::ReadConfig, Notification::Clicked);
  surface.SetCheck(idc::ReadAlways, 0);
  surface.SetCheck(idc::ReadByTrigger, 1);
  const std::map<int, Seen> before = Snapshot(surface);
  ASSERT_FALSE(surface.IsEnabled(idc::Power));

  const struct {
    DialogView view;
    const DialogTemplate* layout;
  } steps[] = {{DialogView::Engineering, &EngineeringDialogTemplate()},
               {DialogView::Operator, &MainDialogTemplate()}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.layout->widthDu);
    surface.PressCtrl(kEngineeringViewKey);
    EXPECT_EQ(wired.Views().Current(), step.view);
    EXPECT_EQ(surface.FindWindowCommand(kEngineeringViewKey)->checked,
              step.view == DialogView::Engineering);
    EXPECT_EQ(surface.ClientWidthDu(), step.layout->widthDu);
    for (const ControlTemplate& control : step.layout->controls) {
      if (control.id == kNoId) continue;
      EXPECT_EQ(surface.IsVisible(control.id), control.visible) << control.id;
    }
    if (step.view == DialogView::Operator) {
      EXPECT_EQ(Snapshot(surface), before);
      continue;
    }
    EXPECT_EQ(Snapshot(surface, false), [&] {
      auto values = before;
      for (auto& [id, seen] : values) seen.enabled = false;
      return values;
    }());
    // Usable: the shown controls, but the option handlers' rules hold for the USB link and trigger
    // mode.
    for (const int id :
         {idc::Power, idc::Com, idc::TcpUdp, idc::SaveChanges, idc::Disconnect, idc::ReadTag,
          idc::Password, idc::Wiegand26, idc::ReadTime, idc::StartStopReads, idc::SaveLog}) {
      EXPECT_TRUE(surface.IsEnabled(id)) << id;
    }
    EXPECT_FALSE(surface.IsEnabled(idc::Length));
  }
  EXPECT_EQ(surface.FindWindowCommand(kEngineeringViewKey)->text, kEngineeringViewCommand);
}

TEST(DialogViews, APowerChangedInTheEngineeringViewIsSavedAndReadBack) {
  MemorySurface surface(MainDialogTemplate());
  InstrumentedReader reader;
  WiredDialog wired(surface, reader, QuietPlatform(), DialogView::Engineering);
  // Clicked as a user would: a disabled control takes no click.
  surface.Click(idc::Connect);
  ASSERT_EQ(reader.State().outPower, 30);
  ASSERT_TRUE(surface.IsEnabled(idc::Power));
  ASSERT_EQ(surface.ComboItem(idc::Power, surface.ComboGetSel(idc::Power)), "30");
  surface.ComboSetSel(idc::Power, surface.ComboGetSel(idc::Power) - 5);
  const std::string chosen = surface.ComboItem(idc::Power, surface.ComboGetSel(idc::Power));
  ASSERT_NE(chosen, "30");
  surface.Click(idc::SaveChanges);
  EXPECT_EQ(std::to_string(reader.State().outPower), chosen);
  surface.ComboSetSel(idc::Power, -1);
  surface.Click(idc::ReadConfig);
  EXPECT_EQ(surface.ComboItem(idc::Power, surface.ComboGetSel(idc::Power)), chosen);
}

TEST(DialogViews, StartsInTheViewAskedFor) {
  MemorySurface surface(MainDialogTemplate());
  InstrumentedReader reader;
  WiredDialog wired(surface, reader, QuietPlatform(), DialogView::Engineering);
  EXPECT_EQ(wired.Views().Current(), DialogView::Engineering);
  EXPECT_TRUE(surface.IsVisible(idc::TagList));
  EXPECT_TRUE(surface.FindWindowCommand(kEngineeringViewKey)->checked);
}

// Ctrl+E while a station cycle holds the operator buttons off: the switch is made once the cycle
// has given them back, so each view keeps its own enabled states.
TEST(DialogViews, ASwitchDuringAStationCycleWaitsForItsEnd) {
  MemorySurface surface(MainDialogTemplate());
  InstrumentedReader reader;
  WiredDialog wired(surface, reader, QuietPlatform());
  const std::map<int, Seen> operatorView = Snapshot(surface);
  std::mutex mutex;
  std::deque<std::function<void()>> posted;  // run on this thread, the window's
  int shown = 0;
  StationWindow::Hooks hooks;
  hooks.post = [&](std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex);
    posted.push_back(std::move(task));
  };
  hooks.shown = [&shown](const ReaderOutcome&) { ++shown; };
  wired.HandOverToStation(hooks);
  StationWindow station(wired.Dialog(), surface, {}, std::chrono::milliseconds(1), hooks);
  station.Start();
  bool pressed = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (shown == 0 && std::chrono::steady_clock::now() < deadline) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!posted.empty()) {
        task = std::move(posted.front());
        posted.pop_front();
      }
    }
    if (!task) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    task();
    if (station.CycleRunning() && !pressed) {
      pressed = true;
      surface.PressCtrl(kEngineeringViewKey);
      EXPECT_EQ(wired.Views().Current(), DialogView::Operator) << "switched during the cycle";
    }
  }
  station.Finish();
  ASSERT_TRUE(pressed);
  ASSERT_EQ(shown, 1);
  EXPECT_EQ(wired.Views().Current(), DialogView::Engineering);
  for (const int id : {idc::SaveChanges, idc::ReadConfig, idc::SetAddress}) {
    EXPECT_TRUE(surface.IsEnabled(id)) << "control " << id << " in the engineering view";
  }
  surface.PressCtrl(kEngineeringViewKey);
  for (const int id : kStationOperatorButtons) {
    EXPECT_EQ(surface.IsEnabled(id), operatorView.at(id).enabled)
        << "control " << id << " back in the operator view";
  }
}

}  // namespace
}  // namespace uhf
