// What the Win32 window leaves until after its first frame: the controls hidden when it opens
// (made then or on first use, showing what the dialog wrote to them), the port listing and the
// host lookup (on a worker thread). A window opened in the engineering view is built in it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <thread>
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

// A machine with one serial port, a host address and no config.ini.
DialogPlatform FixedPlatform() {
  DialogPlatform platform;
  platform.availablePorts = [] {
    AvailablePort port;
    port.name = "COM4";
    return std::vector<AvailablePort>{port};
  };
  platform.hostAddress = [] { return std::string("10.4.5.6"); };
  platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
  return platform;
}

TEST(ToolWindowWin32, HiddenControlsAreMadeOnFirstUseWithWhatWasWrittenToThem) {
  SimulatedReader reader;
  Win32Surface surface(MainDialogTemplate(),
                       std::set<int>(kHoverButtonIds.begin(), kHoverButtonIds.end()));
  WiredDialog dialog(surface, reader, FixedPlatform());

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
  EXPECT_EQ(SendMessageW(surface.Control(idc::ConnBaud), CB_GETCURSEL, 0, 0), 4);
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

// The window's client size, then each control it shows in tab order: id, place, enabled.
std::vector<std::vector<long>> ShownControls(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  std::vector<std::vector<long>> shown{{client.right, client.bottom}};
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) == 0) continue;  // the window is not shown
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    shown.push_back(
        {GetDlgCtrlID(child), r.left, r.top, r.right, r.bottom, IsWindowEnabled(child)});
  }
  return shown;
}

// A window opened in the engineering view is built in it: the same window as one opened in the
// operator view and switched, hidden controls made later hidden, and the same again back in the
// operator view.
TEST(ToolWindowWin32, AWindowOpenedInTheEngineeringViewIsTheOneSwitchedToIt) {
  const std::set<int> hover(kHoverButtonIds.begin(), kHoverButtonIds.end());
  SimulatedReader reader;
  Win32Surface switched(MainDialogTemplate(), hover);
  WiredDialog switchedDialog(switched, reader, FixedPlatform(), DialogView::Engineering);
  Win32Surface opened(MainDialogTemplate(), hover, ViewTemplate(DialogView::Engineering));
  WiredDialog openedDialog(opened, reader, FixedPlatform(), DialogView::Engineering);
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == kNoId) continue;
    SCOPED_TRACE(control.id);
    EXPECT_EQ(Ask(opened, control.id), Ask(switched, control.id));
    opened.Control(control.id);  // every control made, as after the first frame
    switched.Control(control.id);
  }
  EXPECT_GT(ShownControls(opened.Window()).size(), 80u);
  EXPECT_EQ(ShownControls(opened.Window()), ShownControls(switched.Window()));

  switchedDialog.Views().Show(DialogView::Operator);
  openedDialog.Views().Show(DialogView::Operator);
  EXPECT_EQ(ShownControls(opened.Window()), ShownControls(switched.Window()));
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

// A machine whose port listing and host lookup count their calls; the lookup waits until it is
// let go, and notes the thread it ran on.
struct SlowMachine {
  std::atomic<int> portCalls{0};
  std::atomic<int> hostCalls{0};
  std::atomic<bool> letGo{false};
  std::thread::id hostThread;

  DialogPlatform Make() {
    DialogPlatform platform;
    platform.availablePorts = [this] {
      ++portCalls;
      AvailablePort port;
      port.name = "COM4";
      return std::vector<AvailablePort>{port};
    };
    platform.hostAddress = [this] {
      hostThread = std::this_thread::get_id();
      ++hostCalls;
      // Bounded, so that a window that waits for it before its first frame fails, not hangs.
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (!letGo && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      return std::string("10.4.5.6");
    };
    platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
    return platform;
  }
};

// The host field's fields as the control holds them, without asking the surface.
int RawHostFields(HWND window) {
  HWND ip = GetDlgItem(window, idc::HostIp);
  DWORD address = 0;
  return ip != nullptr ? static_cast<int>(SendMessageW(ip, IPM_GETADDRESS, 0,
                                                       reinterpret_cast<LPARAM>(&address)))
                       : 0;
}

// What the window's timer checks while the dialog runs: a step at a time, then the end.
std::function<void()> g_tick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  g_tick();
}

TEST(ToolWindowWin32, TheLookupsWaitForTheFirstFrameAndASlowOneHoldsNothing) {
  SlowMachine machine;
  Win32Surface surface(MainDialogTemplate(),
                       std::set<int>(kHoverButtonIds.begin(), kHoverButtonIds.end()));
  SimulatedReader reader;
  WiredDialog dialog(surface, reader, machine.Make());
  EXPECT_EQ(machine.portCalls, 0);
  EXPECT_EQ(machine.hostCalls, 0);

  // After the first frame: the ports listed once, the lookup running on a worker while the
  // window goes on; let go, its address reaches the field with no one asking for it.
  int step = 0;
  int ticks = 0;
  int fieldsWhileLooking = -1;
  g_tick = [&] {
    ++ticks;
    if (step == 0 && machine.hostCalls == 1) {
      fieldsWhileLooking = RawHostFields(surface.Window());
      machine.letGo = true;
      step = 1;
    } else if (step == 1 && RawHostFields(surface.Window()) == 4) {
      step = 2;
    }
    if (step == 2 || ticks > 500) surface.EndDialog();
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
  surface.RunModal();
  KillTimer(nullptr, timer);
  machine.letGo = true;
  EXPECT_EQ(step, 2);
  EXPECT_EQ(fieldsWhileLooking, 0);
  EXPECT_EQ(machine.portCalls, 1);
  EXPECT_EQ(machine.hostCalls, 1);
  EXPECT_NE(machine.hostThread, std::this_thread::get_id());
}

}  // namespace
}  // namespace uhf
