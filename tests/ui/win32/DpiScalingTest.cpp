// The Win32 window at another DPI: the fonts, the list columns and the hover buttons' borders
// given in pixels at 96 dpi follow a change of DPI; a window too large for its monitor is shrunk
// to fit, text and all, and every window opens centred in its monitor's work area.
#include <gtest/gtest.h>

#include "support/Win32Input.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

constexpr int kButton = 201;
constexpr int kLabel = 202;
constexpr int kList = 203;

DialogTemplate Dialog(int widthDu, int heightDu) {
  DialogTemplate dialog;
  dialog.caption = "dpi";
  dialog.widthDu = widthDu;
  dialog.heightDu = heightDu;
  dialog.fontFace = "Segoe UI Symbol";
  dialog.fontPoints = 10;
  dialog.controls = {
      {kButton, ControlKind::PushButton, "", {10, 10, 98, 29}, kStyleNone, true, true},
      {kLabel, ControlKind::Static, "Label", {10, 50, 200, 40}, kStyleNone, true, true},
      {kList, ControlKind::ListView, "", {10, 100, 200, 60}, kStyleBorder, true, true},
      // At the far corner: shrinking must keep it inside the window.
      {204,
       ControlKind::Static,
       "end",
       {widthDu - 30, heightDu - 12, 25, 10},
       kStyleNone,
       true,
       true},
  };
  return dialog;
}

LONG FontHeight(HWND control) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  GetObjectW(font, sizeof logFont, &logFont);
  return logFont.lfHeight;
}

RECT WorkArea(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

void ExpectCentredWithin(const RECT& window, const RECT& area) {
  EXPECT_GE(window.left, area.left);
  EXPECT_GE(window.top, area.top);
  EXPECT_LE(window.right, area.right);
  EXPECT_LE(window.bottom, area.bottom);
  EXPECT_NEAR(window.left - area.left, area.right - window.right, 1);
  EXPECT_NEAR(window.top - area.top, area.bottom - window.bottom, 1);
}

// The colour of one pixel of the hover button as it paints itself, as 0x00RRGGBB.
std::uint32_t ButtonPixel(HWND button, int x, int fromBottom) {
  RECT rect{};
  GetClientRect(button, &rect);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = rect.right;
  info.bmiHeader.biHeight = -rect.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const int y = fromBottom < 0 ? rect.bottom / 2 : rect.bottom - 1 - fromBottom;
  const std::uint32_t pixel = static_cast<const std::uint32_t*>(bits)[y * rect.right + x];
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixel & 0xFFFFFF;
}

constexpr std::uint32_t kFace = 0x7AC02B;
constexpr std::uint32_t kLeftEdge = 0xFAC458;
constexpr std::uint32_t kBottomEdge = 0xE59700;

TEST(Win32Dpi, FontsColumnsAndBordersFollowADpiChange) {
  Win32Surface surface(Dialog(240, 180), {kButton});
  ASSERT_EQ(surface.FitFactor(), 1.0);  // 96 dpi, and the dialog fits
  surface.SetFont(kLabel, {"Segoe UI Symbol", 12});
  surface.ListInsertColumn(kList, 0, "Tag", 100);
  HWND label = surface.Control(kLabel);
  HWND list = surface.Control(kList);
  HWND button = surface.Control(kButton);
  SendMessageW(button, WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(FontHeight(label), -16);  // 12 points at 96 dpi
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
  EXPECT_EQ(ButtonPixel(button, 1, -1), kLeftEdge);
  EXPECT_EQ(ButtonPixel(button, 2, -1), kFace);
  EXPECT_EQ(ButtonPixel(button, 20, 1), kFace);

  // The window moves to a monitor of 192 dpi.
  RECT suggested = WindowRect(surface.Window());
  SendMessageW(surface.Window(), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  test::PumpMessages(surface.Window());
  EXPECT_EQ(surface.Scaled(10), 20);
  EXPECT_EQ(FontHeight(label), -32);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 200);
  EXPECT_EQ(surface.ListColumnWidth(kList, 0), 100);  // told as it was given
  // Borders twice as thick: three pixels of the left edge and two of the bottom one show.
  EXPECT_EQ(ButtonPixel(button, 2, -1), kLeftEdge);
  EXPECT_EQ(ButtonPixel(button, 20, 1), kBottomEdge);

  // And back.
  SendMessageW(surface.Window(), WM_DPICHANGED, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&suggested));
  test::PumpMessages(surface.Window());
  EXPECT_EQ(FontHeight(label), -16);
  EXPECT_EQ(ButtonPixel(button, 2, -1), kFace);
}

TEST(Win32Dpi, WindowsOpenCentredAndOneTooLargeForItsMonitorIsShrunkWhole) {
  // About 2.5 times the width and height of a 1024 x 768 screen at 96 dpi.
  Win32Surface surface(Dialog(1400, 1000), {kButton});
  Win32Surface fitting(Dialog(240, 180), {kButton});
  HWND window = surface.Window();
  const RECT area = WorkArea(window);
  EXPECT_EQ(fitting.FitFactor(), 1.0);
  ExpectCentredWithin(WindowRect(fitting.Window()), area);
  ASSERT_LT(surface.FitFactor(), 1.0);
  ExpectCentredWithin(WindowRect(window), area);

  // Every control shrunk with the window: the one at the far corner is still inside it.
  RECT client{};
  GetClientRect(window, &client);
  RECT corner = WindowRect(surface.Control(204));
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&corner), 2);
  EXPECT_GT(corner.left, client.right / 2);
  EXPECT_LE(corner.right, client.right);
  EXPECT_LE(corner.bottom, client.bottom);
  // The button by the same factor as the window.
  RECT big{};
  RECT small{};
  GetClientRect(surface.Control(kButton), &big);
  GetClientRect(fitting.Control(kButton), &small);
  EXPECT_NEAR(big.right, small.right * surface.FitFactor(), 2);

  // The fonts too: the dialog's own and those given later.
  const LONG dialogFont = FontHeight(surface.Control(kLabel));
  const LONG fittingFont = FontHeight(fitting.Control(kLabel));
  EXPECT_NEAR(dialogFont, fittingFont * surface.FitFactor(), 1);
  surface.SetFont(kLabel, {"Segoe UI Symbol", 12});
  EXPECT_NEAR(FontHeight(surface.Control(kLabel)), -16 * surface.FitFactor(), 1);
}

}  // namespace
}  // namespace uhf
