// The two views of the main dialog on the in-memory surface: Ctrl+E switches in place, the
// command's check mark follows the view, and what a read showed survives the round trip while
// the option handlers, not the view, keep deciding what is enabled.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

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

std::map<int, Seen> Snapshot(const MemorySurface& surface) {
  std::map<int, Seen> seen;
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == kNoId) continue;
    seen[control.id] = {surface.GetText(control.id), surface.GetCheck(control.id),
                        surface.IsEnabled(control.id)};
  }
  return seen;
}

TEST(DialogViews, CtrlESwitchesInPlaceAndBack) {
  MemorySurface surface(MainDialogTemplate());
  InstrumentedReader reader;
  WiredDialog wired(surface, reader, QuietPlatform());
  wired.Dialog().OnCommand(idc::ReadConfig, Notification::Clicked);
  // An option handler enables the read time; the views keep it so.
  wired.Dialog().OnCommand(idc::ReadByTrigger, Notification::Clicked);
  const std::map<int, Seen> before = Snapshot(surface);
  ASSERT_TRUE(surface.IsEnabled(idc::ReadTime));

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
    EXPECT_EQ(Snapshot(surface), before);
  }
  EXPECT_EQ(surface.FindWindowCommand(kEngineeringViewKey)->text, kEngineeringViewCommand);
}

TEST(DialogViews, StartsInTheViewAskedFor) {
  MemorySurface surface(MainDialogTemplate());
  InstrumentedReader reader;
  WiredDialog wired(surface, reader, QuietPlatform(), DialogView::Engineering);
  EXPECT_EQ(wired.Views().Current(), DialogView::Engineering);
  EXPECT_TRUE(surface.IsVisible(idc::TagList));
  EXPECT_TRUE(surface.FindWindowCommand(kEngineeringViewKey)->checked);
}

}  // namespace
}  // namespace uhf
