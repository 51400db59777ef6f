// The hover button on Win32, by its pixels: a flat green face with the caption centred; while the
// mouse rests on it, the four orange edges; after the mouse leaves, the face alone again.
#include <gtest/gtest.h>

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
  dialog.controls = {
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

}  // namespace
}  // namespace uhf
