// Win32Surface: the hover buttons, owner-drawn push buttons with a flat face and, while the mouse
// rests on them, an orange border.
#include "ui/HoverColours.h"
#include "ui/win32/Win32Surface.h"
#include "ui/win32/Win32SurfaceState.h"

namespace uhf {

LRESULT CALLBACK Win32Surface::HoverButtonProc(HWND button, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  auto* state = reinterpret_cast<ControlState*>(GetWindowLongPtrW(button, GWLP_USERDATA));
  switch (message) {
    case WM_MOUSEMOVE:
      if (!state->tracking) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, button, 1};
        state->tracking = TrackMouseEvent(&track) != FALSE;
      }
      break;
    case WM_MOUSEHOVER:
      state->hovering = true;
      InvalidateRect(button, nullptr, TRUE);
      return 0;
    case WM_MOUSELEAVE:
      state->hovering = false;
      state->tracking = false;
      InvalidateRect(button, nullptr, FALSE);
      return 0;
    default:
      break;
  }
  return CallWindowProcW(state->originalProc, button, message, wParam, lParam);
}

void Win32Surface::DrawHoverButton(const DRAWITEMSTRUCT& item) {
  const ControlState& control = At(static_cast<int>(item.CtlID));
  HDC dc = item.hDC;
  const RECT rect = item.rcItem;
  const int saved = SaveDC(dc);

  // Face: one flat colour over the whole item.
  HBRUSH face = CreateSolidBrush(ColourRef(kHoverFace));
  FillRect(dc, &rect, face);
  DeleteObject(face);

  if (control.hovering) {
    struct Line {
      HoverEdge edge;
      POINT from;
      POINT to;
    };
    const Line lines[] = {
        {kHoverLeftEdge, {rect.left, rect.bottom - 1}, {rect.left, rect.top + 1}},
        {kHoverRightEdge, {rect.right - 1, rect.bottom - 1}, {rect.right - 1, rect.top}},
        {kHoverTopEdge, {rect.left - 1, rect.top}, {rect.right - 1, rect.top}},
        {kHoverBottomEdge, {rect.left, rect.bottom}, {rect.right - 1, rect.bottom}},
    };
    POINT previous{};
    MoveToEx(dc, 0, 0, &previous);
    for (const Line& line : lines) {
      HPEN pen = CreatePen(PS_INSIDEFRAME, Scaled(line.edge.width), ColourRef(line.edge.colour));
      HGDIOBJ old = SelectObject(dc, pen);
      MoveToEx(dc, line.from.x, line.from.y, nullptr);
      LineTo(dc, line.to.x, line.to.y);
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    MoveToEx(dc, previous.x, previous.y, nullptr);
  }

  // Caption: centred, one pixel down and right while pressed, embossed when disabled.
  const std::wstring caption = WindowText(item.hwndItem);
  auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  if (font != nullptr) SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  int x = (rect.left + rect.right) / 2 - extent.cx / 2;
  int y = (rect.top + rect.bottom) / 2 - extent.cy / 2;
  if (item.itemState & ODS_SELECTED) {
    ++x;
    ++y;
  }
  SetBkMode(dc, TRANSPARENT);
  const UINT flags = DST_PREFIXTEXT | ((item.itemState & ODS_DISABLED) ? DSS_DISABLED : 0);
  DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()),
             static_cast<WPARAM>(caption.size()), x, y, extent.cx, extent.cy, flags);
  RestoreDC(dc, saved);
}

bool Win32Surface::IsHovering(int id) const {
  return At(id).hovering;
}

}  // namespace uhf
