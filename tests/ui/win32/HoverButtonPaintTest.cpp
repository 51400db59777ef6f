// The hover button on Win32, by its pixels: a flat green face with the caption centred; while the
// mouse rests on it, the four orange edges; after the mouse leaves, the face alone again; with the
// keyboard focus, blue edges and a dotted rectangle. And by its keys: Enter and Space click the
// focused button, and Enter elsewhere still gives the dialog's accept command.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/Win32Input.h"
#include "ui/HoverColours.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

constexpr int kButton = 201;

DialogTemplate OneButton() {
  DialogTemplate dialog;
  dialog.caption = "hover";
  dialog.widthDu = 120;
  dialog.heightDu = 60;
  dialog.fontFace = "Segoe UI Symbol";
  dialog.fontPoints = 10;
  // The edit comes first and so has the focus: the button shows no focus look.
  dialog.controls = {
      {200, ControlKind::Edit, "", {10, 42, 60, 14}, kStyleBorder, true, true},
      {kButton, ControlKind::PushButton, "", {10, 10, 98, 29}, kStyleNone, true, true}};
  return dialog;
}

// The button as it paints itself into a bitmap; pixels as 0x00RRGGBB.
class Snapshot {
 public:
  explicit Snapshot(HWND button) {
    GetClientRect(button, &rect_);
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect_.right;
    info.bmiHeader.biHeight = -rect_.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    GdiFlush();
  }
  ~Snapshot() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  std::uint32_t At(int x, int y) const {
    return static_cast<const std::uint32_t*>(bits_)[y * rect_.right + x] & 0xFFFFFF;
  }
  int Width() const { return rect_.right; }
  int Height() const { return rect_.bottom; }

 private:
  RECT rect_{};
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

constexpr std::uint32_t kFace = 0x7AC02B;        // RGB(122, 192, 43)
constexpr std::uint32_t kLeftEdge = 0xFAC458;    // RGB(250, 196, 88)
constexpr std::uint32_t kRightEdge = 0xFBCA6A;   // RGB(251, 202, 106)
constexpr std::uint32_t kTopEdge = 0xFCD279;     // RGB(252, 210, 121)
constexpr std::uint32_t kBottomEdge = 0xE59700;  // RGB(229, 151, 0)

TEST(Win32HoverButton, FaceAloneThenHoverEdgesThenFaceAgain) {
  Win32Surface surface(OneButton(), {kButton});
  HWND button = surface.Control(kButton);
  ASSERT_NE(button, nullptr);
  {
    const Snapshot plain(button);
    ASSERT_GT(plain.Width(), 20);
    const int midY = plain.Height() / 2;
    EXPECT_EQ(plain.At(0, midY), kFace);
    EXPECT_EQ(plain.At(plain.Width() - 1, midY), kFace);
    EXPECT_EQ(plain.At(plain.Width() / 2, 0), kFace);
    EXPECT_FALSE(surface.IsHovering(kButton));
  }
  SendMessageW(button, WM_MOUSEHOVER, 0, 0);
  EXPECT_TRUE(surface.IsHovering(kButton));
  {
    const Snapshot hover(button);
    const int midX = hover.Width() / 2;
    const int midY = hover.Height() / 2;
    EXPECT_EQ(hover.At(1, midY), kLeftEdge);
    EXPECT_EQ(hover.At(hover.Width() - 2, midY), kRightEdge);
    EXPECT_EQ(hover.At(midX, 0), kTopEdge);
    EXPECT_EQ(hover.At(midX, hover.Height() - 1), kBottomEdge);
    EXPECT_EQ(hover.At(5, midY), kFace);  // inside the edges the face stays
  }
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(surface.IsHovering(kButton));
  const Snapshot after(button);
  EXPECT_EQ(after.At(1, after.Height() / 2), kFace);
}

TEST(Win32HoverButton, OnlyChosenButtonsAreOwnerDrawn) {
  Win32Surface hover(OneButton(), {kButton});
  Win32Surface plain(OneButton(), {});
  const auto type = [](HWND button) { return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK; };
  EXPECT_EQ(type(hover.Control(kButton)), BS_OWNERDRAW);
  EXPECT_EQ(type(plain.Control(kButton)), BS_PUSHBUTTON);
}

constexpr int kEdit = 202;
constexpr int kSecond = 203;

// An edit, then two hover buttons, in focus order.
DialogTemplate EditAndTwoButtons() {
  DialogTemplate dialog = OneButton();
  dialog.heightDu = 110;
  dialog.controls = {
      {kEdit, ControlKind::Edit, "", {10, 10, 60, 14}, kStyleBorder, true, true},
      {kButton, ControlKind::PushButton, "", {10, 30, 98, 29}, kStyleNone, true, true},
      {kSecond, ControlKind::PushButton, "", {10, 65, 98, 29}, kStyleNone, true, true}};
  return dialog;
}

// A key pressed and released on `target` as the keyboard delivers it: through the dialog's message
// loop.
void PressKey(HWND dialog, HWND target, WPARAM key) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  if (key == VK_RETURN || key == VK_SPACE) {
    PostMessageW(target, WM_CHAR, key, static_cast<LPARAM>(1 | (scan << 16)));
  }
  PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
  test::PumpMessages(dialog);
}

struct Shown {
  explicit Shown(Win32Surface& surface) : window(surface.Window()) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    test::PumpMessages(window);
  }
  HWND window;
};

TEST(Win32HoverButton, EnterAndSpaceClickTheFocusedEnabledButtonEnterElsewhereAccepts) {
  struct Case {
    int focus;
    WPARAM key;
    std::vector<int> clicked;
    int accepts;
    bool disabled = false;  // the focused control is disabled before the key
  };
  const Case cases[] = {
      {kButton, VK_RETURN, {kButton}, 0},
      {kSecond, VK_RETURN, {kSecond}, 0},
      {kButton, VK_SPACE, {kButton}, 0},
      {kEdit, VK_RETURN, {}, 1},  // no button takes the key: the dialog's accept command
      {kButton, VK_RETURN, {}, 0, true},
  };
  for (const Case& tc : cases) {
    Win32Surface surface(EditAndTwoButtons(), {kButton, kSecond});
    std::vector<int> clicked;
    int accepts = 0;
    surface.SetNotificationHandler([&](int id, Notification what) {
      if (what == Notification::Clicked) clicked.push_back(id);
    });
    surface.SetAcceptHandler([&] {
      ++accepts;
      return false;
    });
    const Shown shown(surface);
    surface.SetFocus(tc.focus);
    test::PumpMessages(shown.window);
    ASSERT_EQ(surface.FocusedControl(), tc.focus);
    if (tc.disabled) surface.Enable(tc.focus, false);
    PressKey(shown.window, surface.Control(tc.focus), tc.key);
    EXPECT_EQ(clicked, tc.clicked) << "focus " << tc.focus << " key " << tc.key;
    EXPECT_EQ(accepts, tc.accepts) << "focus " << tc.focus << " key " << tc.key;
    if (!tc.disabled) {
      EXPECT_EQ(surface.FocusedControl(), tc.focus);
    }
  }
}

TEST(Win32HoverButton, TabbingOntoTheButtonShowsBlueEdgesAndAFocusRectangleUntilFocusLeaves) {
  Win32Surface surface(EditAndTwoButtons(), {kButton, kSecond});
  const Shown shown(surface);
  HWND button = surface.Control(kButton);
  surface.SetFocus(kEdit);
  test::PumpMessages(shown.window);
  const Snapshot before(button);
  const int w = before.Width();
  const int h = before.Height();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) ASSERT_EQ(before.At(x, y), kFace) << x << "," << y;
  }

  PressKey(shown.window, surface.Control(kEdit), VK_TAB);
  ASSERT_EQ(surface.FocusedControl(), kButton);
  const Snapshot focused(button);
  const auto colour = [](Rgb c) { return static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b); };
  EXPECT_EQ(focused.At(1, h / 2), colour(kFocusLeftEdge.colour));
  EXPECT_EQ(focused.At(w - 2, h / 2), colour(kFocusRightEdge.colour));
  EXPECT_EQ(focused.At(w / 2, 0), colour(kFocusTopEdge.colour));
  // Inside the edges, every changed pixel lies on the rectangle kFocusRectInset pixels in, and
  // the dots cover about half of its outline.
  const int in = kFocusRectInset;
  int dots = 0;
  for (int y = 3; y < h - 3; ++y) {
    for (int x = 3; x < w - 3; ++x) {
      if (focused.At(x, y) == kFace) continue;
      const bool onOutline = ((x == in || x == w - 1 - in) && y >= in && y <= h - 1 - in) ||
                             ((y == in || y == h - 1 - in) && x >= in && x <= w - 1 - in);
      EXPECT_TRUE(onOutline) << "changed pixel off the focus rectangle at " << x << "," << y;
      ++dots;
    }
  }
  const int outline = 2 * (w - 2 * in) + 2 * (h - 2 * in);
  EXPECT_GT(dots, outline / 3);
  EXPECT_LT(dots, outline * 2 / 3 + 4);

  PressKey(shown.window, button, VK_TAB);
  ASSERT_EQ(surface.FocusedControl(), kSecond);
  const Snapshot after(button);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) ASSERT_EQ(after.At(x, y), kFace) << x << "," << y;
  }
}

}  // namespace
}  // namespace uhf
