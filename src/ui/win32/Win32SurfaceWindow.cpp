// Win32Surface: the dialog window. Created from the dialog template, it routes the controls'
// notifications to the handlers and runs the message loop.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <stdexcept>
#include <thread>
#include <utility>

#include "text/WideText.h"
#include "ui/HoverColours.h"
#include "ui/ViewLayout.h"
#include "ui/win32/DialogTemplateWriter.h"
#include "ui/win32/Win32Surface.h"
#include "ui/win32/Win32SurfaceState.h"

namespace uhf {

namespace {

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
      return {WC_LISTVIEWW,
              static_cast<DWORD>(LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL) |
                  WS_TABSTOP | ((tpl.style & kStyleBorder) ? WS_BORDER : 0u)};
    case ControlKind::IpAddress:
      return {WC_IPADDRESSW, WS_TABSTOP};
    case ControlKind::RichEdit:
      if (tpl.style & kStyleLog) {
        // A list of lines without a heading, each drawn when in view (see AppendLines).
        return {WC_LISTVIEWW, static_cast<DWORD>(LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER |
                                                 LVS_SINGLESEL | LVS_SHOWSELALWAYS) |
                                  WS_TABSTOP | ((tpl.style & kStyleBorder) ? WS_BORDER : 0u)};
      }
      // Labels placed on the panel are drawn over it, transparent: the panel paints under them
      // and has them repaint after it (PanelProc).
      // A multi-line one that is not centred scrolls.
      return {L"RichEdit20W", TextAlignment(tpl.style, ES_LEFT, ES_CENTER, ES_RIGHT) |
                                  ((tpl.style & kStyleMultiline) ? ES_MULTILINE : 0) |
                                  ((tpl.style & kStyleMultiline) && !(tpl.style & kStyleCenter)
                                       ? WS_VSCROLL | ES_AUTOVSCROLL
                                       : 0) |
                                  ((tpl.style & kStyleReadOnly) ? ES_READONLY : 0) |
                                  ((tpl.style & kStyleBorder) ? WS_BORDER : 0)};
  }
  return {L"Static", 0};
}

// UTF-16 of the template's texts; wchar_t is UTF-16 on Windows.
std::u16string Utf16(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  return std::u16string(wide.begin(), wide.end());
}

DWORD ItemStyle(const ControlTemplate& tpl, const ItemClass& cls) {
  return WS_CHILD | cls.style | (tpl.visible ? WS_VISIBLE : 0) | (tpl.enabled ? 0 : WS_DISABLED);
}

// The dialog's template from the dialog template as data: the Win32 class and style of each
// control kind, in the in-memory layout the dialog manager reads. The controls hidden when the
// window opens are left out: they are made later (MakeControl).
std::vector<std::uint32_t> BuildDialogTemplate(const DialogTemplate& dialog,
                                               const std::set<int>& hoverButtons) {
  DialogTemplateHeader header;
  header.exStyle = WS_EX_APPWINDOW;
  header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
  header.widthDu = static_cast<std::int16_t>(dialog.widthDu);
  header.heightDu = static_cast<std::int16_t>(dialog.heightDu);
  header.caption = Utf16(dialog.caption);
  header.fontPoints = static_cast<std::uint16_t>(dialog.fontPoints);
  header.fontWeight = FW_NORMAL;
  header.fontItalic = FALSE;
  header.fontCharset = DEFAULT_CHARSET;
  header.fontFace = Utf16(dialog.fontFace);

  std::vector<DialogTemplateItem> items;
  for (const ControlTemplate& tpl : dialog.controls) {
    if (!tpl.visible) continue;
    const ItemClass cls = ClassOf(tpl, hoverButtons.count(tpl.id) != 0);
    DialogTemplateItem item;
    item.style = ItemStyle(tpl, cls);
    item.x = static_cast<std::int16_t>(tpl.rect.x);
    item.y = static_cast<std::int16_t>(tpl.rect.y);
    item.width = static_cast<std::int16_t>(tpl.rect.width);
    item.height = static_cast<std::int16_t>(tpl.rect.height);
    item.id = tpl.id == kNoId ? 0xFFFFu : static_cast<std::uint32_t>(tpl.id);
    item.className = std::u16string(cls.name, cls.name + std::wcslen(cls.name));
    item.text = tpl.kind == ControlKind::Picture ? std::u16string() : Utf16(tpl.text);
    items.push_back(std::move(item));
  }
  return WriteDialogTemplate(header, items);
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

// Posted on a change of dots per inch: make the fonts again after the system's own rescaling.
constexpr UINT kFontsMessage = WM_APP + 1;

RECT WorkArea(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

int Round(double value) {
  return static_cast<int>(std::lround(value));
}

}  // namespace

Win32Surface::Win32Surface(const DialogTemplate& dialog, const std::set<int>& hoverButtons)
    : Win32Surface(dialog, hoverButtons, dialog) {}

Win32Surface::Win32Surface(const DialogTemplate& dialog, const std::set<int>& hoverButtons,
                           const DialogTemplate& firstLayout)
    : hoverButtons_(hoverButtons),
      built_(dialog),
      arranged_(Arrange(dialog, firstLayout)),
      radios_(dialog) {
  EnsureControlClasses();
  pushButtonBrush_ = CreateSolidBrush(ColourRef(kPushButtonBackground));
  DialogTemplate arranged{dialog.caption,  arranged_.widthDu, arranged_.heightDu,
                          dialog.fontFace, dialog.fontPoints, {}};
  for (std::size_t index : arranged_.order) arranged.controls.push_back(Placed(index));
  const std::vector<std::uint32_t> dialogTemplate = BuildDialogTemplate(arranged, hoverButtons);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  dialog_ = CreateDialogIndirectParamW(
      instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), nullptr,
      &Win32Surface::DialogProc, reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr) {
    throw std::runtime_error("cannot create the dialog (error " + std::to_string(GetLastError()) +
                             ")");
  }
  // The dialog manager lays the dialog out in its font at the window's dots per inch.
  const UINT dpi = GetDpiForWindow(dialog_);
  dpi_ = dpi != 0 ? static_cast<int>(dpi) : 96;
  icon_ = LoadIconW(instance, MAKEINTRESOURCEW(128));
  if (icon_ != nullptr) {
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& tpl = dialog.controls[i];
    if (tpl.id == kNoId) continue;
    auto state = std::make_unique<ControlState>();
    state->kind = tpl.kind;
    state->id = tpl.id;
    state->index = i;
    state->text = tpl.text;
    state->log = tpl.kind == ControlKind::RichEdit && (tpl.style & kStyleLog) != 0;
    if (!arranged_.placement[i].visible) {
      state->written = std::make_unique<WrittenControl>();
    } else {
      state->hwnd = GetDlgItem(dialog_, tpl.id);
      if (state->hwnd == nullptr) {
        throw std::runtime_error("control " + std::to_string(tpl.id) + " was not created");
      }
      SetUpControl(*state, tpl);
    }
    controls_[tpl.id] = std::move(state);
  }
  // The shown controls in creation order (the arrangement's), those without an id included.
  const std::vector<std::size_t>& order = arranged_.order;
  const auto hidden = [this](std::size_t index) { return !arranged_.placement[index].visible; };
  byIndex_.assign(dialog.controls.size(), nullptr);
  std::size_t next = 0;
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    while (next < order.size() && hidden(order[next])) ++next;
    if (next == order.size()) throw std::runtime_error("the dialog has extra controls");
    byIndex_[order[next++]] = child;
  }
  while (next < order.size() && hidden(order[next])) ++next;
  if (next != order.size()) {
    throw std::runtime_error("the dialog has fewer controls than its template");
  }
  RaiseLabelsOverPanel();
  FitToMonitor(true);
}

// What a control's window needs beyond its template: the hover buttons' drawing, the log pane's
// one column, the status panel's character set.
void Win32Surface::SetUpControl(ControlState& control, const ControlTemplate& tpl) {
  if (tpl.kind == ControlKind::PushButton && hoverButtons_.count(tpl.id) != 0) {
    control.hoverButton = true;
    SetWindowLongPtrW(control.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    control.originalProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Surface::HoverButtonProc)));
  }
  if (control.log) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 0;  // grows with the longest line shown
    SendMessageW(control.hwnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(control.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
  } else if (tpl.kind == ControlKind::RichEdit) {
    SetWindowSubclass(control.hwnd, &Win32Surface::PanelProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // Chinese text needs the GB2312 character set in the rich edit's character format.
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_CHARSET;
    format.bCharSet = GB2312_CHARSET;
    SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  }
}

Win32Surface::ControlState* Win32Surface::Unbuilt(int id) const {
  const_cast<Win32Surface*>(this)->ResolveFills(id);
  const auto it = controls_.find(id);
  return it != controls_.end() && it->second->written ? it->second.get() : nullptr;
}

Win32Surface::ControlState& Win32Surface::Existing(int id) const {
  const auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return *it->second;
}

RECT Win32Surface::Pixels(const DialogRect& du) const {
  // Place and size each mapped alone, as the dialog manager maps them.
  RECT rect{du.x, du.y, du.width, du.height};
  MapDialogRect(dialog_, &rect);
  return RECT{Round(rect.left * fit_), Round(rect.top * fit_),
              Round((rect.left + rect.right) * fit_), Round((rect.top + rect.bottom) * fit_)};
}

Win32Surface::Arrangement Win32Surface::Arrange(const DialogTemplate& built,
                                                const DialogTemplate& layout) {
  Arrangement arrangement{layout.widthDu, layout.heightDu, MatchLayout(built, layout),
                          std::vector<Placement>(built.controls.size())};
  for (std::size_t i = 0; i < arrangement.order.size(); ++i) {
    const ControlTemplate& tpl = layout.controls[i];
    arrangement.placement[arrangement.order[i]] = {tpl.rect, tpl.visible, tpl.enabled};
  }
  return arrangement;
}

ControlTemplate Win32Surface::Placed(std::size_t index) const {
  ControlTemplate tpl = built_.controls[index];
  const Placement& place = arranged_.placement[index];
  tpl.rect = place.rect;
  tpl.visible = place.visible;
  if (tpl.id == kNoId) tpl.enabled = place.enabled;
  return tpl;
}

HWND Win32Surface::MakeControl(std::size_t index) {
  if (byIndex_[index] != nullptr) return byIndex_[index];
  const ControlTemplate tpl = Placed(index);
  const ItemClass cls = ClassOf(tpl, hoverButtons_.count(tpl.id) != 0);
  const RECT rect = Pixels(tpl.rect);
  const std::wstring text = tpl.kind == ControlKind::Picture ? std::wstring() : Widen(tpl.text);
  // As the dialog manager makes a control: a border drawn sunken, the parent not notified.
  DWORD style = ItemStyle(tpl, cls);
  DWORD exStyle = WS_EX_NOPARENTNOTIFY;
  if (style & WS_BORDER) {
    style &= ~static_cast<DWORD>(WS_BORDER);
    exStyle |= WS_EX_CLIENTEDGE;
  }
  HWND window = CreateWindowExW(
      exStyle, cls.name, text.c_str(), style, rect.left, rect.top, rect.right - rect.left,
      rect.bottom - rect.top, dialog_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(tpl.id == kNoId ? 0xFFFF : tpl.id)),
      GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) {
    throw std::runtime_error("cannot make control " + std::to_string(tpl.id) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
  SendMessageW(window, WM_SETFONT, static_cast<WPARAM>(SendMessageW(dialog_, WM_GETFONT, 0, 0)),
               FALSE);
  // In the tab order where the arrangement puts it: after the made control before it.
  const std::vector<std::size_t>& order = arranged_.order;
  HWND after = HWND_TOP;
  for (auto it = std::find(order.begin(), order.end(), index); it != order.begin();) {
    if (byIndex_[*--it] != nullptr) {
      after = byIndex_[*it];
      break;
    }
  }
  SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  byIndex_[index] = window;
  if (tpl.id == kNoId) return window;

  ControlState& control = *controls_.at(tpl.id);
  control.hwnd = window;
  SetUpControl(control, tpl);
  const std::unique_ptr<WrittenControl> written = std::move(control.written);
  // What was written before, in the order the dialog writes it; an edit's text was notified
  // when it was written.
  const bool outer = std::exchange(reapplying_, true);
  if (written->enabled) Enable(tpl.id, *written->enabled);
  if (written->limit) LimitText(tpl.id, *written->limit);
  if (written->checked) SetCheck(tpl.id, *written->checked ? 1 : 0);
  if (written->text) {
    if (tpl.kind == ControlKind::IpAddress) {
      IpSetAddress(tpl.id, *written->text);
    } else {
      SetText(tpl.id, *written->text);
    }
  }
  for (const std::string& item : written->items) ComboAdd(tpl.id, item);
  if (written->selected >= 0) ComboSetSel(tpl.id, written->selected);
  for (const auto& [heading, width] : written->columns) {
    ListInsertColumn(tpl.id, ListColumnCount(tpl.id), heading, width);
  }
  if (control.writtenListStyle != 0) ListAddExtendedStyle(tpl.id, control.writtenListStyle);
  if (fontSpecs_.count(tpl.id) != 0) ApplyFont(tpl.id);  // fitted to the text it shows
  reapplying_ = outer;
  return window;
}

void Win32Surface::MakeAllControls() {
  for (std::size_t i = 0; i < byIndex_.size(); ++i) MakeControl(i);
}

// Labels standing on the status panel go above it, and are painted after what lies beneath.
void Win32Surface::RaiseLabelsOverPanel() {
  for (const auto& [id, control] : controls_) {
    if (control->kind == ControlKind::Static && control->hwnd != nullptr &&
        OverRichEdit(control->hwnd)) {
      SetWindowLongPtrW(control->hwnd, GWL_EXSTYLE,
                        GetWindowLongPtrW(control->hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
      SetWindowPos(control->hwnd, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
  }
}

void Win32Surface::ApplyLayout(const DialogTemplate& layout) {
  Arrangement next = Arrange(built_, layout);
  if (next == arranged_) return;  // arranged so already: a window built in this layout
  arranged_ = std::move(next);
  HWND previous = HWND_TOP;
  for (std::size_t index : arranged_.order) {
    const Placement& place = arranged_.placement[index];
    if (byIndex_[index] == nullptr) {
      // Made when first shown or used, then in its place and after the one before it.
      if (place.visible) previous = MakeControl(index);
      continue;
    }
    const ControlTemplate& tpl = built_.controls[index];
    const RECT rect = Pixels(place.rect);
    if (tpl.kind == ControlKind::IpAddress) RefitIpControl(index, tpl.id, rect);
    HWND control = byIndex_[index];
    // The tab order is the order of the windows: each after the one before it in the layout.
    SetWindowPos(control, previous, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOACTIVATE | SWP_NOREDRAW);
    ShowWindow(control, place.visible ? SW_SHOWNA : SW_HIDE);
    if (tpl.id == kNoId) EnableWindow(control, place.enabled ? TRUE : FALSE);
    previous = control;
  }
  RaiseLabelsOverPanel();
  // The window around the new client size, fitted to its monitor where it stands.
  const RECT client = Pixels({0, 0, arranged_.widthDu, arranged_.heightDu});
  RECT window{};
  RECT oldClient{};
  GetWindowRect(dialog_, &window);
  GetClientRect(dialog_, &oldClient);
  SetWindowPos(dialog_, nullptr, 0, 0,
               (window.right - window.left) - oldClient.right + client.right,
               (window.bottom - window.top) - oldClient.bottom + client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitToMonitor(false);
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// An IP address control lays its four fields out once, when it is made: one that changes size
// is made again at the new size, with the same style, font and fields.
void Win32Surface::RefitIpControl(std::size_t index, int id, const RECT& rect) {
  HWND old = byIndex_[index];
  RECT now{};
  GetWindowRect(old, &now);
  if (now.right - now.left == rect.right - rect.left &&
      now.bottom - now.top == rect.bottom - rect.top) {
    return;
  }
  std::wstring dotted;  // blank fields stay blank
  int field = 0;
  for (HWND edit = GetWindow(old, GW_CHILD); edit != nullptr; edit = GetWindow(edit, GW_HWNDNEXT)) {
    if (field++ > 0) dotted += L'.';
    dotted += WindowText(edit);
  }
  HWND fresh = CreateWindowExW(
      static_cast<DWORD>(GetWindowLongPtrW(old, GWL_EXSTYLE)), WC_IPADDRESSW, L"",
      static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE)) & ~static_cast<DWORD>(WS_VISIBLE),
      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (fresh == nullptr) return;  // the old one stays, its fields where they were
  SendMessageW(fresh, WM_SETFONT, static_cast<WPARAM>(SendMessageW(old, WM_GETFONT, 0, 0)), FALSE);
  DestroyWindow(old);
  byIndex_[index] = fresh;
  if (id != kNoId) {
    Existing(id).hwnd = fresh;
    const bool outer = std::exchange(reapplying_, true);
    IpSetAddress(id, Narrow(dotted));
    reapplying_ = outer;
  }
}

namespace {
// System menu commands: their low four bits are the system's.
constexpr UINT kFirstWindowCommand = 0x1000;
}  // namespace

void Win32Surface::AddWindowCommand(std::string_view text, char key, std::function<void()> run) {
  HMENU menu = GetSystemMenu(dialog_, FALSE);
  const auto menuId = static_cast<UINT>(kFirstWindowCommand + 0x10 * commands_.size());
  if (commands_.empty()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  const std::wstring entry = Widen(text) + L"\tCtrl+" + static_cast<wchar_t>(key);
  AppendMenuW(menu, MF_STRING, menuId, entry.c_str());
  commands_[key] = {menuId, std::move(run)};
}

void Win32Surface::CheckWindowCommand(char key, bool checked) {
  const auto it = commands_.find(key);
  if (it == commands_.end()) return;
  CheckMenuItem(GetSystemMenu(dialog_, FALSE), it->second.menuId,
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32Surface::RunCommandKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (GetKeyState(VK_CONTROL) & 0x8000) == 0) return false;
  if (msg.hwnd != dialog_ && !IsChild(dialog_, msg.hwnd)) return false;
  if (msg.wParam > 0xFF) return false;
  const auto it = commands_.find(static_cast<char>(msg.wParam));
  if (it == commands_.end()) return false;
  const std::function<void()> run = it->second.run;  // the command may change the commands
  run();
  return true;
}

Win32Surface::~Win32Surface() {
  SetNotificationHandler(nullptr);
  if (dialog_ != nullptr) DestroyWindow(dialog_);
  for (const auto& [id, font] : fonts_) DeleteObject(font);
  if (dialogFont_ != nullptr) DeleteObject(dialogFont_);
  if (pushButtonBrush_ != nullptr) DeleteObject(pushButtonBrush_);
}

// Tasks posted from other threads wait in posted_; this message runs them.
constexpr UINT kPostedMessage = WM_APP + 2;
// A fill's worker has found its value.
constexpr UINT kFoundMessage = WM_APP + 3;
// Fires once the first frame is painted (a timer comes after every pending paint).
constexpr UINT_PTR kFirstFrameTimer = 1;

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
        } else if (id == IDCANCEL && (!closeHandler_ || closeHandler_())) {
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
        if (!reapplying_) Notify(id, Notification::EditChanged);
        return TRUE;
      }
      return FALSE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      const int id = static_cast<int>(header->idFrom);
      if (controls_.count(id) == 0) return FALSE;
      if (At(id).log) {
        if (header->code == LVN_GETDISPINFOW)
          ShowListCell(At(id), reinterpret_cast<NMLVDISPINFOW*>(lParam)->item);
        return TRUE;
      }
      if (At(id).kind != ControlKind::ListView) return FALSE;
      if (header->code == LVN_GETDISPINFOW) {
        ShowListCell(At(id), reinterpret_cast<NMLVDISPINFOW*>(lParam)->item);
        return TRUE;
      }
      if (header->code == LVN_ODFINDITEMW) {
        // Typing in the list goes to the row whose first cell starts with what was typed.
        const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(lParam);
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, FindListRow(At(id), find->iStart, find->lvfi));
        return TRUE;
      }
      if (header->code == NM_DBLCLK) {
        Notify(id, Notification::DoubleClicked);
        return TRUE;
      }
      if (header->code == LVN_ITEMCHANGED) {
        // Once per selection: a row gaining the selected state (the one losing it is quiet).
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (!quietSelection_ && change->iItem >= 0 && (change->uChanged & LVIF_STATE) != 0 &&
            (change->uNewState & LVIS_SELECTED) != 0 && (change->uOldState & LVIS_SELECTED) == 0) {
          Notify(id, Notification::SelectionChanged);
        }
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
      // A label standing on the status panel (the serial number) paints its text alone, over
      // the panel's text and background, as on the other platform.
      auto label = reinterpret_cast<HWND>(lParam);
      if (OverRichEdit(label)) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      }
      return FALSE;
    }
    case WM_SYSCOMMAND:
      for (const auto& [key, command] : commands_) {
        if ((wParam & 0xFFF0) == command.menuId) {
          const std::function<void()> run = command.run;
          run();
          return TRUE;
        }
      }
      return FALSE;
    case WM_CLOSE:
      if (!closeHandler_ || closeHandler_()) ended_ = true;
      return TRUE;
    case WM_DPICHANGED:
      // The system scales the dialog and its own font (the default handling, which follows);
      // the fonts, pens and columns given in pixels are scaled here once it is done.
      OnDpiChanged(LOWORD(wParam));
      PostMessageW(dialog_, kFontsMessage, 0, 0);
      return FALSE;
    case kFontsMessage:
      ApplyFonts();
      return TRUE;
    case WM_TIMER:
      if (wParam != kFirstFrameTimer) return FALSE;
      KillTimer(dialog_, kFirstFrameTimer);
      OnFirstFrame();
      return TRUE;
    case kFoundMessage:
      TakeFoundValues();
      return TRUE;
    case kPostedMessage: {
      std::deque<std::function<void()>> tasks;
      {
        std::lock_guard<std::mutex> lock(postedMutex_);
        tasks.swap(posted_);
      }
      for (std::function<void()>& task : tasks) task();
      return TRUE;
    }
    default:
      return FALSE;
  }
}

bool Win32Surface::OverRichEdit(HWND label) const {
  RECT labelRect{};
  GetWindowRect(label, &labelRect);
  for (const auto& [id, control] : controls_) {
    const bool shown = (GetWindowLongW(control->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (control->kind != ControlKind::RichEdit || control->log || !shown) continue;
    RECT richRect{};
    RECT overlap{};
    GetWindowRect(control->hwnd, &richRect);
    if (IntersectRect(&overlap, &labelRect, &richRect) && EqualRect(&overlap, &labelRect)) {
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK Win32Surface::PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR data) {
  const LRESULT result = DefSubclassProc(panel, message, wParam, lParam);
  if (message == WM_PAINT) {
    // The panel has painted over the labels standing on it: they draw their text again on top.
    const auto* self = reinterpret_cast<const Win32Surface*>(data);
    for (const auto& [id, control] : self->controls_) {
      if (control->kind == ControlKind::Static && IsWindowVisible(control->hwnd) &&
          self->OverRichEdit(control->hwnd)) {
        RedrawWindow(control->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
    }
  }
  return result;
}

void Win32Surface::RepaintPanelUnder(HWND label) {
  // A transparent label cannot erase its old text: the panel beneath repaints that part, and the
  // label after it.
  if (!OverRichEdit(label)) return;
  RECT labelRect{};
  GetWindowRect(label, &labelRect);
  for (const auto& [id, control] : controls_) {
    if (control->kind != ControlKind::RichEdit || control->hwnd == nullptr) continue;
    RECT part = labelRect;
    MapWindowPoints(nullptr, control->hwnd, reinterpret_cast<POINT*>(&part), 2);
    InvalidateRect(control->hwnd, &part, TRUE);
  }
}

void Win32Surface::OnUserClick(int id) {
  // A click always checks the radio and clears the others of its group.
  radios_.Click(id, [this](int radio, bool checked) {
    SendMessageW(At(radio).hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  });
  Notify(id, Notification::Clicked);
}

void Win32Surface::OnDpiChanged(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  const double ratio = static_cast<double>(dpi) / dpi_;
  dpi_ = dpi;
  ScaleListColumns(ratio);
  ApplyFonts();
  InvalidateRect(dialog_, nullptr, TRUE);
}

void Win32Surface::ScaleListColumns(double ratio) {
  for (const auto& [id, control] : controls_) {
    const bool list = control->kind == ControlKind::ListView || control->log;
    if (!list || control->written) continue;  // one not made yet is made at the scale then
    const int columns = control->log ? 1 : ListColumnCount(id);
    for (int column = 0; column < columns; ++column) {
      const auto width = static_cast<int>(
          SendMessageW(control->hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
      SendMessageW(control->hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                   MAKELPARAM(Round(width * ratio), 0));
    }
  }
}

// Keeps the window in the work area of its monitor, centred there or moved in as little as need
// be; a window larger than that area (a high dots-per-inch setting, or the engineering view, on a
// small screen) is first shrunk to fit, its text kept sharp: every control moved and sized, every
// font made again at the smaller size.
void Win32Surface::FitToMonitor(bool centre) {
  const RECT area = WorkArea(dialog_);
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  RECT window{};
  RECT client{};
  GetWindowRect(dialog_, &window);
  GetClientRect(dialog_, &client);
  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  if (client.right > 0 && client.bottom > 0 &&
      (window.right - window.left > areaWidth || window.bottom - window.top > areaHeight)) {
    ShrinkBy(std::min(static_cast<double>(areaWidth - frameWidth) / client.right,
                      static_cast<double>(areaHeight - frameHeight) / client.bottom));
    GetWindowRect(dialog_, &window);
  }
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = centre ? area.left + std::max(0, (areaWidth - width) / 2)
                       : std::max<int>(area.left, std::min<int>(window.left, area.right - width));
  const int y = centre ? area.top + std::max(0, (areaHeight - height) / 2)
                       : std::max<int>(area.top, std::min<int>(window.top, area.bottom - height));
  SetWindowPos(dialog_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Surface::ShrinkBy(double factor) {
  if (!(factor > 0.0 && factor < 1.0)) return;
  fit_ *= factor;
  // The dialog's font, at the smaller size, for every control that shows it.
  auto shown = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
  HFONT smaller = nullptr;
  LOGFONTW logFont{};
  if (shown != nullptr && GetObjectW(shown, sizeof logFont, &logFont) == sizeof logFont) {
    logFont.lfHeight = Round(logFont.lfHeight * factor);
    logFont.lfWidth = Round(logFont.lfWidth * factor);
    smaller = CreateFontIndirectW(&logFont);
  }
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    // A drop-down list's height is that of its list when open.
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (_wcsicmp(className, L"ComboBox") == 0) {
      RECT dropped{};
      if (SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
        rect.bottom = rect.top + (dropped.bottom - dropped.top);
      }
    }
    MoveWindow(child, Round(rect.left * factor), Round(rect.top * factor),
               Round((rect.right - rect.left) * factor), Round((rect.bottom - rect.top) * factor),
               FALSE);
    if (smaller != nullptr &&
        reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == shown) {
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(smaller), FALSE);
    }
  }
  if (smaller != nullptr) {
    SendMessageW(dialog_, WM_SETFONT, reinterpret_cast<WPARAM>(smaller), FALSE);
    if (dialogFont_ != nullptr) DeleteObject(dialogFont_);
    dialogFont_ = smaller;
  }
  ScaleListColumns(factor);
  ApplyFonts();
  RECT window{};
  RECT client{};
  GetWindowRect(dialog_, &window);
  GetClientRect(dialog_, &client);
  SetWindowPos(dialog_, nullptr, 0, 0,
               (window.right - window.left) - client.right + Round(client.right * factor),
               (window.bottom - window.top) - client.bottom + Round(client.bottom * factor),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dialog_, nullptr, TRUE);
}

void Win32Surface::EndDialog() {
  ended_ = true;
  // Wakes the message loop, which then sees the end.
  PostMessageW(dialog_, WM_NULL, 0, 0);
}

void Win32Surface::PostToWindowThread(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(task));
  }
  PostMessageW(dialog_, kPostedMessage, 0, 0);
}

void Win32Surface::FillAfterFirstFrame(int id, std::function<void()> fill) {
  if (firstFramePassed_) {
    fill();
    return;
  }
  pendingFills_.push_back({id, std::move(fill), {}, {}, nullptr});
}

void Win32Surface::FillInBackground(int id, std::function<std::string()> find,
                                    std::function<void(const std::string&)> fill) {
  PendingFill pending{id, {}, std::move(find), std::move(fill), nullptr};
  if (firstFramePassed_) StartFinding(pending);
  pendingFills_.push_back(std::move(pending));
}

namespace {

// A value a fill finds; nothing when finding it fails.
std::string FindOrNothing(const std::function<std::string()>& find) {
  try {
    return find();
  } catch (...) {
    return {};
  }
}

}  // namespace

void Win32Surface::StartFinding(PendingFill& pending) {
  pending.found = std::make_shared<Found>();
  // The worker keeps what it uses: the window may be gone before it is done.
  std::thread([find = pending.find, found = pending.found, window = dialog_] {
    std::string value = FindOrNothing(find);
    {
      std::lock_guard<std::mutex> lock(found->mutex);
      found->value = std::move(value);
      found->finished = true;
    }
    found->done.notify_all();
    PostMessageW(window, kFoundMessage, 0, 0);
  }).detach();
}

void Win32Surface::RunFill(PendingFill& pending) {
  if (pending.fill) {
    pending.fill();
    return;
  }
  std::string value;
  if (!pending.found) {
    value = FindOrNothing(pending.find);  // wanted before the first frame: found here
  } else {
    std::unique_lock<std::mutex> lock(pending.found->mutex);
    pending.found->done.wait(lock, [&pending] { return pending.found->finished; });
    value = pending.found->value;
  }
  pending.fillFound(value);
}

void Win32Surface::RunPendingFills(const std::function<bool(const PendingFill&)>& due) {
  // Each is taken out before it runs: what it writes to its control finds nothing pending.
  for (auto it = pendingFills_.begin(); it != pendingFills_.end();) {
    if (!due(*it)) {
      ++it;
      continue;
    }
    PendingFill pending = std::move(*it);
    pendingFills_.erase(it);
    RunFill(pending);
    it = pendingFills_.begin();
  }
}

void Win32Surface::ResolveFills(int id) {
  if (reapplying_) return;
  RunPendingFills([id](const PendingFill& pending) { return pending.id == id; });
}

void Win32Surface::TakeFoundValues() {
  RunPendingFills([](const PendingFill& pending) {
    if (!pending.found) return false;
    std::lock_guard<std::mutex> lock(pending.found->mutex);
    return pending.found->finished;
  });
}

void Win32Surface::OnFirstFrame() {
  firstFramePassed_ = true;
  RunPendingFills([](const PendingFill& pending) { return static_cast<bool>(pending.fill); });
  for (PendingFill& pending : pendingFills_) {
    if (!pending.found) StartFinding(pending);
  }
  MakeAllControls();
}

void Win32Surface::RunModal() {
  ended_ = false;
  ShowWindow(dialog_, SW_SHOW);
  UpdateWindow(dialog_);
  // What waits for the first frame (fills, hidden controls) runs once it is painted.
  SetTimer(dialog_, kFirstFrameTimer, USER_TIMER_MINIMUM, nullptr);
  MSG msg;
  while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!RunCommandKey(msg) && !IsDialogMessageW(dialog_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  ShowWindow(dialog_, SW_HIDE);
}

}  // namespace uhf
