#include "ui/win32/Win32Surface.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "text/DottedAddress.h"
#include "text/Utf8.h"
#include "ui/HoverColours.h"

namespace uhf {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  }
  return text;
}

namespace {

constexpr COLORREF ColourRef(Rgb colour) {
  return RGB(colour.r, colour.g, colour.b);
}

// An in-memory extended dialog template: header, font, then one item per control, each item
// aligned to four bytes.
class TemplateWriter {
 public:
  void Word(WORD value) { Append(&value, sizeof value); }
  void DWord(DWORD value) { Append(&value, sizeof value); }
  void Short(short value) { Append(&value, sizeof value); }
  void Byte(BYTE value) { Append(&value, sizeof value); }
  void String(const std::wstring& text) {
    Append(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  }
  void Align() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  void PatchWord(std::size_t at, WORD value) { std::memcpy(bytes_.data() + at, &value, 2); }
  std::size_t Size() const { return bytes_.size(); }
  // DWORD-aligned storage for the dialog manager.
  std::vector<DWORD> Finish() const {
    std::vector<DWORD> out((bytes_.size() + 3) / 4, 0);
    std::memcpy(out.data(), bytes_.data(), bytes_.size());
    return out;
  }

 private:
  void Append(const void* data, std::size_t size) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + size);
    std::memcpy(bytes_.data() + at, data, size);
  }
  std::vector<unsigned char> bytes_;
};

DWORD TextAlignment(std::uint32_t style, DWORD left, DWORD centre, DWORD right) {
  if (style & kStyleCenter) return centre;
  if (style & kStyleRight) return right;
  return left;
}

struct ItemClass {
  const wchar_t* name;
  DWORD style;
};

ItemClass ClassOf(const ControlTemplate& tpl, bool hover) {
  const DWORD group = (tpl.style & kStyleGroup) ? WS_GROUP : 0;
  switch (tpl.kind) {
    case ControlKind::PushButton:
      return {L"Button", static_cast<DWORD>(hover ? BS_OWNERDRAW : BS_PUSHBUTTON) | WS_TABSTOP};
    case ControlKind::GroupBox:
      return {L"Button", BS_GROUPBOX};
    case ControlKind::Static:
      return {L"Static", TextAlignment(tpl.style, SS_LEFT, SS_CENTER, SS_RIGHT)};
    case ControlKind::Picture:
      return {L"Static", SS_BITMAP};
    case ControlKind::Edit:
      return {L"Edit", ES_AUTOHSCROLL | WS_TABSTOP |
                           TextAlignment(tpl.style, ES_LEFT, ES_CENTER, ES_RIGHT) |
                           ((tpl.style & kStyleBorder) ? WS_BORDER : 0) |
                           ((tpl.style & kStyleReadOnly) ? ES_READONLY : 0)};
    case ControlKind::ComboBox:
      return {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
    case ControlKind::RadioButton:
      // Exclusivity is kept by the surface, by the template's radio groups.
      return {L"Button", BS_RADIOBUTTON | WS_TABSTOP | group};
    case ControlKind::CheckBox:
      return {L"Button", BS_AUTOCHECKBOX | WS_TABSTOP | group};
    case ControlKind::ListView:
      return {WC_LISTVIEWW, static_cast<DWORD>(LVS_REPORT | LVS_SHOWSELALWAYS) | WS_TABSTOP |
                                ((tpl.style & kStyleBorder) ? WS_BORDER : 0u)};
    case ControlKind::IpAddress:
      return {WC_IPADDRESSW, WS_TABSTOP};
    case ControlKind::RichEdit:
      // Labels placed on the panel stay visible: the panel never paints over its siblings.
      return {L"RichEdit20W", WS_CLIPSIBLINGS |
                                  TextAlignment(tpl.style, ES_LEFT, ES_CENTER, ES_RIGHT) |
                                  ((tpl.style & kStyleMultiline) ? ES_MULTILINE : 0) |
                                  ((tpl.style & kStyleReadOnly) ? ES_READONLY : 0) |
                                  ((tpl.style & kStyleBorder) ? WS_BORDER : 0)};
  }
  return {L"Static", 0};
}

std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& dialog,
                                       const std::set<int>& hoverButtons) {
  TemplateWriter w;
  w.Word(1);       // version
  w.Word(0xFFFF);  // extended template
  w.DWord(0);      // help id
  w.DWord(WS_EX_APPWINDOW);
  w.DWord(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT);
  const std::size_t countAt = w.Size();
  w.Word(0);  // item count, patched below
  w.Short(0);
  w.Short(0);
  w.Short(static_cast<short>(dialog.widthDu));
  w.Short(static_cast<short>(dialog.heightDu));
  w.Word(0);  // no menu
  w.Word(0);  // the standard dialog class
  w.String(Widen(dialog.caption));
  w.Word(static_cast<WORD>(dialog.fontPoints));
  w.Word(FW_NORMAL);
  w.Byte(FALSE);
  w.Byte(DEFAULT_CHARSET);
  w.String(Widen(dialog.fontFace));

  WORD count = 0;
  for (const ControlTemplate& tpl : dialog.controls) {
    const ItemClass cls = ClassOf(tpl, hoverButtons.count(tpl.id) != 0);
    w.Align();
    w.DWord(0);  // help id
    w.DWord(0);  // extended style
    w.DWord(WS_CHILD | cls.style | (tpl.visible ? WS_VISIBLE : 0) |
            (tpl.enabled ? 0 : WS_DISABLED));
    w.Short(static_cast<short>(tpl.rect.x));
    w.Short(static_cast<short>(tpl.rect.y));
    w.Short(static_cast<short>(tpl.rect.width));
    w.Short(static_cast<short>(tpl.rect.height));
    w.DWord(tpl.id == kNoId ? 0xFFFFu : static_cast<DWORD>(tpl.id));
    w.String(cls.name);
    w.String(tpl.kind == ControlKind::Picture ? std::wstring() : Widen(tpl.text));
    w.Word(0);  // no creation data
    ++count;
  }
  w.PatchWord(countAt, count);
  return w.Finish();
}

// A rich edit keeps a line break as one character: the UTF-16 position of the character
// `characters` (code points of the text as set) in the control.
LONG RichPosition(const std::string& text, int characters) {
  const std::wstring wide = Widen(text);
  LONG pos = 0;
  std::size_t i = 0;
  for (int n = 0; n < characters && i < wide.size(); ++n) {
    if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') {
      i += 2;
      pos += 1;
    } else if (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size()) {
      i += 2;
      pos += 2;
    } else {
      i += 1;
      pos += 1;
    }
  }
  return pos;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

void EnsureControlClasses() {
  static const bool ready = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                              ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&init);
    // The status panel's class; from the system folder only.
    LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return true;
  }();
  (void)ready;
}

}  // namespace

struct Win32Surface::ControlState {
  ControlKind kind = ControlKind::Static;
  int id = 0;
  HWND hwnd = nullptr;
  std::string text;  // caption last set (everything but edits, lists and IP controls)
  // Hover buttons
  bool hoverButton = false;
  bool hovering = false;
  bool tracking = false;
  WNDPROC originalProc = nullptr;
};

Win32Surface::Win32Surface(const DialogTemplate& dialog, const std::set<int>& hoverButtons)
    : radios_(dialog) {
  EnsureControlClasses();
  pushButtonBrush_ = CreateSolidBrush(ColourRef(kPushButtonBackground));
  const std::vector<DWORD> dialogTemplate = BuildDialogTemplate(dialog, hoverButtons);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  dialog_ = CreateDialogIndirectParamW(
      instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), nullptr,
      &Win32Surface::DialogProc, reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr) {
    throw std::runtime_error("cannot create the dialog (error " + std::to_string(GetLastError()) +
                             ")");
  }
  icon_ = LoadIconW(instance, MAKEINTRESOURCEW(128));
  if (icon_ != nullptr) {
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  for (const ControlTemplate& tpl : dialog.controls) {
    if (tpl.id == kNoId) continue;
    auto state = std::make_unique<ControlState>();
    state->kind = tpl.kind;
    state->id = tpl.id;
    state->hwnd = GetDlgItem(dialog_, tpl.id);
    state->text = tpl.text;
    if (state->hwnd == nullptr) {
      throw std::runtime_error("control " + std::to_string(tpl.id) + " was not created");
    }
    if (tpl.kind == ControlKind::PushButton && hoverButtons.count(tpl.id) != 0) {
      state->hoverButton = true;
      SetWindowLongPtrW(state->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
      state->originalProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
          state->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Surface::HoverButtonProc)));
    }
    if (tpl.kind == ControlKind::RichEdit) {
      // Chinese text needs the GB2312 character set in the rich edit's character format.
      CHARFORMAT2W format{};
      format.cbSize = sizeof format;
      format.dwMask = CFM_CHARSET;
      format.bCharSet = GB2312_CHARSET;
      SendMessageW(state->hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    }
    controls_[tpl.id] = std::move(state);
  }
  // Labels standing on the status panel go above it.
  for (const auto& [id, control] : controls_) {
    if (control->kind == ControlKind::Static && OverRichEdit(control->hwnd)) {
      SetWindowPos(control->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

Win32Surface::~Win32Surface() {
  SetNotificationHandler(nullptr);
  if (dialog_ != nullptr) DestroyWindow(dialog_);
  for (HFONT font : fonts_) DeleteObject(font);
  if (pushButtonBrush_ != nullptr) DeleteObject(pushButtonBrush_);
}

HWND Win32Surface::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second->hwnd;
}

Win32Surface::ControlState& Win32Surface::At(int id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return *it->second;
}

const Win32Surface::ControlState& Win32Surface::At(int id) const {
  return const_cast<Win32Surface*>(this)->At(id);
}

INT_PTR CALLBACK Win32Surface::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<Win32Surface*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32Surface::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (lParam == 0 || id == IDOK || id == IDCANCEL) {
        if (id == IDOK && !(acceptHandler_ && !acceptHandler_())) {
          ended_ = true;
        } else if (id == IDCANCEL) {
          ended_ = true;
        }
        return TRUE;
      }
      if (controls_.count(id) == 0) return FALSE;
      const ControlState& control = At(id);
      if (code == BN_CLICKED &&
          (control.kind == ControlKind::PushButton || control.kind == ControlKind::RadioButton ||
           control.kind == ControlKind::CheckBox)) {
        OnUserClick(id);
        return TRUE;
      }
      if (code == EN_CHANGE && control.kind == ControlKind::Edit) {
        Notify(id, Notification::EditChanged);
        return TRUE;
      }
      return FALSE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      const int id = static_cast<int>(header->idFrom);
      if (header->code == NM_DBLCLK && controls_.count(id) != 0 &&
          At(id).kind == ControlKind::ListView) {
        Notify(id, Notification::DoubleClicked);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const int id = static_cast<int>(item->CtlID);
      if (controls_.count(id) != 0 && At(id).hoverButton) {
        DrawHoverButton(*item);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CTLCOLORBTN:
      // Push buttons get one background brush.
      return reinterpret_cast<INT_PTR>(pushButtonBrush_);
    case WM_CTLCOLORSTATIC: {
      // A label standing on the status panel (the serial number) takes the panel's background
      // instead of cutting a grey box out of it.
      auto label = reinterpret_cast<HWND>(lParam);
      if (OverRichEdit(label)) {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      }
      return FALSE;
    }
    case WM_CLOSE:
      ended_ = true;
      return TRUE;
    default:
      return FALSE;
  }
}

bool Win32Surface::OverRichEdit(HWND label) const {
  RECT labelRect{};
  GetWindowRect(label, &labelRect);
  for (const auto& [id, control] : controls_) {
    const bool shown = (GetWindowLongW(control->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (control->kind != ControlKind::RichEdit || !shown) continue;
    RECT richRect{};
    RECT overlap{};
    GetWindowRect(control->hwnd, &richRect);
    if (IntersectRect(&overlap, &labelRect, &richRect) && EqualRect(&overlap, &labelRect)) {
      return true;
    }
  }
  return false;
}

void Win32Surface::OnUserClick(int id) {
  // A click always checks the radio and clears the others of its group.
  radios_.Click(id, [this](int radio, bool checked) {
    SendMessageW(At(radio).hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  });
  Notify(id, Notification::Clicked);
}

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
      HPEN pen = CreatePen(PS_INSIDEFRAME, line.edge.width, ColourRef(line.edge.colour));
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

void Win32Surface::RunModal() {
  ended_ = false;
  ShowWindow(dialog_, SW_SHOW);
  UpdateWindow(dialog_);
  MSG msg;
  while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(dialog_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  ShowWindow(dialog_, SW_HIDE);
}

// --- any control ---

void Win32Surface::SetText(int id, std::string_view text) {
  ControlState& control = At(id);
  switch (control.kind) {
    case ControlKind::Edit:
      // The edit reports the change itself (EN_CHANGE), as for any text set on it.
      SetWindowTextW(control.hwnd, Widen(text).c_str());
      return;
    case ControlKind::IpAddress:
      IpSetAddress(id, text);
      return;
    case ControlKind::ComboBox:
    case ControlKind::ListView:
      return;  // a drop-down list shows its selection
    case ControlKind::RichEdit: {
      control.text = std::string(text);
      SetWindowTextW(control.hwnd, Widen(text).c_str());
      // New text starts without colours, centred.
      CHARFORMAT2W format{};
      format.cbSize = sizeof format;
      format.dwMask = CFM_COLOR | CFM_CHARSET;
      format.dwEffects = CFE_AUTOCOLOR;
      format.bCharSet = GB2312_CHARSET;
      SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
      return;
    }
    default:
      SetWindowTextW(control.hwnd, Widen(text).c_str());
      control.text = std::string(text);
      return;
  }
}

std::string Win32Surface::GetText(int id) const {
  const ControlState& control = At(id);
  switch (control.kind) {
    case ControlKind::Edit:
    case ControlKind::ComboBox:
      return Narrow(WindowText(control.hwnd));
    case ControlKind::IpAddress: {
      std::array<std::uint8_t, 4> fields{};
      if (IpGetAddress(id, fields) == 0) return {};
      return DottedAddressText(fields);
    }
    case ControlKind::ListView:
      return {};
    default:
      return control.text;
  }
}

void Win32Surface::SetCheck(int id, int state) {
  const ControlState& control = At(id);
  if (control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox) {
    SendMessageW(control.hwnd, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

int Win32Surface::GetCheck(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::RadioButton && control.kind != ControlKind::CheckBox) return 0;
  return SendMessageW(control.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32Surface::Enable(int id, bool enabled) {
  EnableWindow(At(id).hwnd, enabled ? TRUE : FALSE);
}

bool Win32Surface::IsEnabled(int id) const {
  return IsWindowEnabled(At(id).hwnd) != FALSE;
}

bool Win32Surface::IsVisible(int id) const {
  // Visible once the dialog is shown: the control's own visibility style.
  return (GetWindowLongW(At(id).hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Surface::SetFont(int id, const FontSpec& font) {
  const ControlState& control = At(id);
  if (control.kind == ControlKind::RichEdit) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    format.yHeight = font.points * 20;  // twips
    format.bCharSet = GB2312_CHARSET;
    const std::wstring face = Widen(font.face);
    wcsncpy(format.szFaceName, face.c_str(), LF_FACESIZE - 1);
    SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return;
  }
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  LOGFONTW logFont{};
  logFont.lfHeight = -MulDiv(font.points, pixelsPerInch, 72);
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = Widen(font.face);
  wcsncpy(logFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT handle = CreateFontIndirectW(&logFont);
  // A label of several lines whose text would be cut off at the bottom (a substitute face is
  // often taller than the one asked for) gets the largest size of the face that fits.
  if (control.kind == ControlKind::Static && handle != nullptr) {
    RECT box{};
    GetClientRect(control.hwnd, &box);
    const std::wstring text = WindowText(control.hwnd);
    while (logFont.lfHeight < -6) {
      RECT need = box;
      HGDIOBJ old = SelectObject(screen, handle);
      DrawTextW(screen, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK);
      SelectObject(screen, old);
      if (need.bottom - need.top <= box.bottom - box.top) break;
      DeleteObject(handle);
      ++logFont.lfHeight;
      handle = CreateFontIndirectW(&logFont);
      if (handle == nullptr) break;
    }
  }
  ReleaseDC(nullptr, screen);
  if (handle == nullptr) return;
  fonts_.push_back(handle);
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

void Win32Surface::SetFocus(int id) {
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(At(id).hwnd), TRUE);
}

int Win32Surface::FocusedControl() const {
  HWND focus = GetFocus();
  while (focus != nullptr && focus != dialog_) {
    for (const auto& [id, control] : controls_) {
      if (control->hwnd == focus) return id;
    }
    focus = GetParent(focus);  // a part of a control (the IP control's fields)
  }
  return kNoId;
}

void Win32Surface::LimitText(int id, int maxChars) {
  const ControlState& control = At(id);
  if (control.kind == ControlKind::Edit) {
    SendMessageW(control.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxChars, 0)), 0);
  }
}

void Win32Surface::SelectAllText(int id) {
  const ControlState& control = At(id);
  if (control.kind == ControlKind::Edit) SendMessageW(control.hwnd, EM_SETSEL, 0, -1);
}

// --- drop-down lists ---

void Win32Surface::ComboReset(int id) {
  const ControlState& control = At(id);
  if (control.kind == ControlKind::ComboBox) SendMessageW(control.hwnd, CB_RESETCONTENT, 0, 0);
}

int Win32Surface::ComboAdd(int id, std::string_view text) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return -1;
  const std::wstring wide = Widen(text);
  return static_cast<int>(
      SendMessageW(control.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void Win32Surface::ComboSetSel(int id, int index) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return;
  const int count = ComboCount(id);
  SendMessageW(control.hwnd, CB_SETCURSEL,
               static_cast<WPARAM>(index >= 0 && index < count ? index : -1), 0);
}

int Win32Surface::ComboGetSel(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return -1;
  return static_cast<int>(SendMessageW(control.hwnd, CB_GETCURSEL, 0, 0));
}

int Win32Surface::ComboCount(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return 0;
  return static_cast<int>(SendMessageW(control.hwnd, CB_GETCOUNT, 0, 0));
}

std::string Win32Surface::ComboItem(int id, int index) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox || index < 0 || index >= ComboCount(id)) return {};
  const auto length = SendMessageW(control.hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(control.hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

// --- list view ---

void Win32Surface::ListInsertColumn(int id, int column, std::string_view heading, int widthPx) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return;
  std::wstring text = Widen(heading);
  LVCOLUMNW col{};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  col.fmt = LVCFMT_LEFT;
  col.cx = std::max(widthPx, 0);
  col.pszText = text.data();
  col.iSubItem = column;
  const int pos = std::clamp(column, 0, ListColumnCount(id));
  SendMessageW(control.hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(pos),
               reinterpret_cast<LPARAM>(&col));
}

int Win32Surface::ListColumnCount(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return 0;
  HWND header = reinterpret_cast<HWND>(SendMessageW(control.hwnd, LVM_GETHEADER, 0, 0));
  return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string Win32Surface::ListColumnHeading(int id, int column) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView || column < 0 || column >= ListColumnCount(id)) {
    return {};
  }
  std::array<wchar_t, 512> buffer{};
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT;
  col.pszText = buffer.data();
  col.cchTextMax = static_cast<int>(buffer.size());
  SendMessageW(control.hwnd, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&col));
  return Narrow(col.pszText);
}

int Win32Surface::ListColumnWidth(int id, int column) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView || column < 0 || column >= ListColumnCount(id)) {
    return 0;
  }
  return static_cast<int>(
      SendMessageW(control.hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int Win32Surface::ListInsertItem(int id, int row, std::string_view text) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return -1;
  std::wstring wide = Widen(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = std::clamp(row, 0, ListCount(id));
  item.pszText = wide.data();
  return static_cast<int>(
      SendMessageW(control.hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32Surface::ListSetItemText(int id, int row, int column, std::string_view text) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView || row < 0 || row >= ListCount(id) || column < 0 ||
      column >= ListColumnCount(id)) {
    return;
  }
  std::wstring wide = Widen(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(control.hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}

std::string Win32Surface::ListGetItemText(int id, int row, int column,
                                          std::size_t bufferSize) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView || bufferSize == 0 || row < 0 || row >= ListCount(id) ||
      column < 0 || column >= ListColumnCount(id)) {
    return {};
  }
  std::vector<wchar_t> buffer(4096, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageW(control.hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  const std::string text = Narrow(buffer.data());
  return std::string(Utf8Prefix(text, bufferSize - 1));
}

int Win32Surface::ListCount(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return 0;
  return static_cast<int>(SendMessageW(control.hwnd, LVM_GETITEMCOUNT, 0, 0));
}

void Win32Surface::ListDeleteAll(int id) {
  const ControlState& control = At(id);
  if (control.kind == ControlKind::ListView) SendMessageW(control.hwnd, LVM_DELETEALLITEMS, 0, 0);
}

void Win32Surface::ListAddExtendedStyle(int id, std::uint32_t bits) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return;
  // kListGridLines and kListFullRowSelect are the platform's own bits.
  SendMessageW(control.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, bits, bits);
}

std::uint32_t Win32Surface::ListExtendedStyle(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return 0;
  return static_cast<std::uint32_t>(SendMessageW(control.hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

// --- IP address control ---

int Win32Surface::IpGetAddress(int id, std::array<std::uint8_t, 4>& fields) const {
  const ControlState& control = At(id);
  fields = {};
  if (control.kind != ControlKind::IpAddress) return 0;
  DWORD address = 0;
  const auto filled =
      SendMessageW(control.hwnd, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  fields = {static_cast<std::uint8_t>(FIRST_IPADDRESS(address)),
            static_cast<std::uint8_t>(SECOND_IPADDRESS(address)),
            static_cast<std::uint8_t>(THIRD_IPADDRESS(address)),
            static_cast<std::uint8_t>(FOURTH_IPADDRESS(address))};
  return static_cast<int>(filled);
}

void Win32Surface::IpSetAddress(int id, std::string_view dotted) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::IpAddress) return;
  const auto fields = ParseDottedAddress(dotted);
  SendMessageW(control.hwnd, IPM_CLEARADDRESS, 0, 0);
  if (!fields[0]) return;
  SendMessageW(control.hwnd, IPM_SETADDRESS, 0,
               static_cast<LPARAM>(MAKEIPADDRESS(fields[0].value_or(0), fields[1].value_or(0),
                                                 fields[2].value_or(0), fields[3].value_or(0))));
  if (fields[3]) return;
  // Some fields blank: clear their edits, which stand left to right.
  std::vector<HWND> edits;
  for (HWND child = GetWindow(control.hwnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    edits.push_back(child);
  }
  std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  for (std::size_t i = 0; i < edits.size() && i < fields.size(); ++i) {
    if (!fields[i]) SetWindowTextW(edits[i], L"");
  }
}

// --- rich edit ---

void Win32Surface::RichSetColor(int id, int start, int end, Rgb colour) {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::RichEdit || start < 0) return;
  // Positions count characters; an end of -1 (or past the text) means the end of the text.
  const int length = static_cast<int>(Utf8Length(control.text));
  if (end < 0 || end > length) end = length;
  if (start > end) std::swap(start, end);
  if (start == end) return;
  CHARRANGE range{RichPosition(control.text, start), RichPosition(control.text, end)};
  SendMessageW(control.hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.crTextColor = RGB(colour.r, colour.g, colour.b);
  SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  CHARRANGE none{0, 0};
  SendMessageW(control.hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
}

Rgb Win32Surface::RichColorAt(int id, int character) const {
  const ControlState& control = At(id);
  const LONG pos = RichPosition(control.text, character);
  CHARRANGE range{pos, pos + 1};
  SendMessageW(control.hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(control.hwnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  CHARRANGE none{0, 0};
  SendMessageW(control.hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
  const COLORREF c =
      (format.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// --- message box ---

MessageResult Win32Surface::MessageBox(std::string_view text, std::string_view caption,
                                       MessageButtons buttons, MessageIcon icon) {
  if (messageBoxHook_) return messageBoxHook_(text, caption, buttons, icon);
  const UINT type = (buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK) |
                    (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
  const int result = ::MessageBoxW(dialog_, Widen(text).c_str(), Widen(caption).c_str(), type);
  return result == IDCANCEL ? MessageResult::Cancel : MessageResult::Ok;
}

}  // namespace uhf
