// The Win32 window makes the controls hidden when it opens only after its first frame, or when
// first used: until then only the shown ones exist, and what the dialog wrote to the others is
// what they show once made.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/ToolAssembly.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/SimulatedReader.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

// What the surface answers about a control.
struct Answers {
  std::string text;
  int check = 0;
  bool enabled = false;
  bool visible = false;
  int items = 0;
  int selected = -1;
  int columns = 0;
  friend bool operator==(const Answers&, const Answers&) = default;
  friend void PrintTo(const Answers& a, std::ostream* os) {
    *os << "text \"" << a.text << "\" check " << a.check << " enabled " << a.enabled << " visible "
        << a.visible << " items " << a.items << " selected " << a.selected << " columns "
        << a.columns;
  }
};

Answers Ask(const ControlSurface& surface, int id) {
  return {surface.GetText(id),        surface.GetCheck(id),   surface.IsEnabled(id),
          surface.IsVisible(id),      surface.ComboCount(id), surface.ComboGetSel(id),
          surface.ListColumnCount(id)};
}

TEST(ToolWindowWin32, HiddenControlsAreMadeOnFirstUseWithWhatWasWrittenToThem) {
  SimulatedReader reader;
  Win32Surface surface(MainDialogTemplate(),
                       std::set<int>(kHoverButtonIds.begin(), kHoverButtonIds.end()));
  DialogPlatform platform;
  platform.availablePorts = [] {
    AvailablePort port;
    port.name = "COM4";
    return std::vector<AvailablePort>{port};
  };
  platform.hostAddress = [] { return std::string("10.4.5.6"); };
  platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
  WiredDialog dialog(surface, reader, platform);

  // Initialised: only the controls the operator sees have windows.
  std::vector<int> hidden;
  int shown = 0;
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    shown += control.visible ? 1 : 0;
    if (!control.visible && control.id != kNoId) hidden.push_back(control.id);
  }
  int children = 0;
  for (HWND child = GetWindow(surface.Window(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    ++children;
  }
  EXPECT_EQ(children, shown);

  // Each answers the same before and after its window is made, and making one notifies nothing.
  std::vector<Answers> before;
  for (int id : hidden) before.push_back(Ask(surface, id));
  int notified = 0;
  surface.SetNotificationHandler([&notified](int, Notification) { ++notified; });
  for (std::size_t i = hidden.size(); i-- > 0;) {  // last first: each finds its place
    SCOPED_TRACE(hidden[i]);
    ASSERT_NE(surface.Control(hidden[i]), nullptr);
    EXPECT_EQ(Ask(surface, hidden[i]), before[i]);
  }
  EXPECT_EQ(notified, 0);
  // What initialisation wrote is there, read from the windows themselves.
  EXPECT_EQ(SendMessageW(surface.Control(idc::Usb), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(surface.Control(idc::Com)));
  EXPECT_EQ(SendMessageW(surface.Control(idc::ConnBaud), CB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(SendMessageW(surface.Control(idc::ComPort), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(surface.GetText(idc::HostIp), "10.4.5.6");
  EXPECT_EQ(surface.ListColumnCount(idc::TagList), 6);
  EXPECT_EQ(surface.ListExtendedStyle(idc::TagList) & (kListGridLines | kListFullRowSelect),
            kListGridLines | kListFullRowSelect);

  // Made out of order, they stand in the template's order: the tab order.
  std::vector<int> tabOrder;
  std::set<int> tabStops;
  for (HWND child = GetWindow(surface.Window(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) == 0) continue;
    tabOrder.push_back(GetDlgCtrlID(child));
    tabStops.insert(tabOrder.back());
  }
  std::vector<int> templateOrder;
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (tabStops.count(control.id) != 0) templateOrder.push_back(control.id);
  }
  EXPECT_GT(tabOrder.size(), 20u);
  EXPECT_EQ(tabOrder, templateOrder);
}

// A control made later is the window the dialog manager would have made from the same entry:
// each kind twice, shown and hidden, in a row of its own; their styles compared.
TEST(ToolWindowWin32, AControlMadeLaterHasTheStylesOfOneMadeWithTheDialog) {
  const std::pair<ControlKind, std::uint32_t> kinds[] = {
      {ControlKind::Edit, kStyleBorder | kStyleCenter},
      {ControlKind::ListView, kStyleBorder},
      {ControlKind::IpAddress, kStyleNone},
      {ControlKind::ComboBox, kStyleNone},
      {ControlKind::PushButton, kStyleNone},
      {ControlKind::RadioButton, kStyleGroup},
      {ControlKind::GroupBox, kStyleNone},
      {ControlKind::Static, kStyleRight},
      {ControlKind::RichEdit, kStyleBorder | kStyleLog},
      {ControlKind::RichEdit, kStyleBorder | kStyleMultiline | kStyleReadOnly},
      {ControlKind::CheckBox, kStyleNone},
      {ControlKind::Picture, kStyleNone},
  };
  DialogTemplate dialog{"twins", 100, 220, "Microsoft Sans Serif", 8, {}};
  int id = 100;
  for (int row = 0; const auto& [kind, style] : kinds) {
    const DialogRect place{10, 10 + 16 * row++, 60, 14};
    for (bool visible : {true, false}) {
      dialog.controls.push_back({id++, kind, "x", place, style, visible, true});
    }
  }
  Win32Surface surface(dialog);
  for (std::size_t i = 0; i < dialog.controls.size(); i += 2) {
    SCOPED_TRACE(dialog.controls[i].id);
    HWND made = surface.Control(dialog.controls[i].id);
    HWND later = surface.Control(dialog.controls[i + 1].id);
    EXPECT_EQ(GetWindowLongW(later, GWL_STYLE), GetWindowLongW(made, GWL_STYLE) & ~WS_VISIBLE);
    EXPECT_EQ(GetWindowLongW(later, GWL_EXSTYLE), GetWindowLongW(made, GWL_EXSTYLE));
    EXPECT_EQ(SendMessageW(later, WM_GETFONT, 0, 0), SendMessageW(made, WM_GETFONT, 0, 0));
  }
}

}  // namespace
}  // namespace uhf
