// Win32Surface: the hover buttons, owner-drawn push buttons with a flat face and, while the mouse
// rests on them, an orange border; with the keyboard focus, a blue border and a focus rectangle.
// The dialog manager treats an owner-drawn button as no push button at all, so Enter on it would
// give the dialog's accept command: the button asks for Enter itself and takes it as a click, as
// it takes Space.
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
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcW(state->originalProc, button, message, wParam, lParam);
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key != nullptr && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
          key->wParam == VK_RETURN) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        if (IsWindowEnabled(button)) {
          SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
        }
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == VK_RETURN) return 0;  // taken with its key press
      break;
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

  // The focus shows only once the keyboard has been used in the window, as for other buttons.
  const bool keyboardFocus =
      (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0;
  if (control.hovering || keyboardFocus) {
    struct Line {
      HoverEdge edge;
      POINT from;
      POINT to;
    };
    const bool orange = control.hovering;
    const Line lines[] = {
        {orange ? kHoverLeftEdge : kFocusLeftEdge,
         {rect.left, rect.bottom - 1},
         {rect.left, rect.top + 1}},
        {orange ? kHoverRightEdge : kFocusRightEdge,
         {rect.right - 1, rect.bottom - 1},
         {rect.right - 1, rect.top}},
        {orange ? kHoverTopEdge : kFocusTopEdge,
         {rect.left - 1, rect.top},
         {rect.right - 1, rect.top}},
        {orange ? kHoverBottomEdge : kFocusBottomEdge,
         {rect.left, rect.bottom},
         {rect.right - 1, rect.bottom}},
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
  if (keyboardFocus) {
    RECT focus = rect;
    InflateRect(&focus, -kFocusRectInset, -kFocusRectInset);
    if (focus.right > focus.left && focus.bottom > focus.top) DrawFocusRect(dc, &focus);
  }
  RestoreDC(dc, saved);
}

bool Win32Surface::IsHovering(int id) const {
  return At(id).hovering;
}

}  // namespace uhf
