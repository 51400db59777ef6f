#include "support/Win32Input.h"

#include <algorithm>

#include <dlgs.h>

#include "ui/win32/Win32Surface.h"

namespace uhf::test {

void PumpMessages(HWND dialog) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

namespace {

// The window a mouse at `screen` would reach, and the point in its client area.
HWND HitTest(HWND dialog, POINT screen, POINT& client) {
  POINT inDialog = screen;
  ScreenToClient(dialog, &inDialog);
  HWND target = ChildWindowFromPointEx(dialog, inDialog,
                                       CWP_SKIPDISABLED | CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  if (target == nullptr) return nullptr;
  client = screen;
  ScreenToClient(target, &client);
  return target;
}

HWND HitTest(HWND dialog, HWND control, POINT& client) {
  RECT rect{};
  GetWindowRect(control, &rect);
  return HitTest(dialog, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, client);
}

void PostMouse(HWND target, UINT message, WPARAM keys, POINT at) {
  PostMessageW(target, message, keys, MAKELPARAM(at.x, at.y));
}

}  // namespace

void ClickControl(HWND dialog, HWND control) {
  POINT at{};
  HWND target = HitTest(dialog, control, at);
  if (target == nullptr || target == dialog) return;  // nothing there takes the click
  PostMouse(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMouse(target, WM_LBUTTONUP, 0, at);
  PumpMessages(dialog);
}

void ClickListRow(HWND dialog, HWND list, int row) {
  RECT rect{};
  rect.left = LVIR_LABEL;
  if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(&rect))) {
    return;  // no such row
  }
  POINT screen{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(list, &screen);
  POINT at{};
  HWND target = HitTest(dialog, screen, at);
  if (target == nullptr || target == dialog) return;
  PostMouse(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMouse(target, WM_LBUTTONUP, 0, at);
  PumpMessages(dialog);
}

void DoubleClickControl(HWND dialog, HWND control) {
  POINT at{};
  HWND target = HitTest(dialog, control, at);
  if (target == nullptr || target == dialog) return;
  PostMouse(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMouse(target, WM_LBUTTONUP, 0, at);
  PostMouse(target, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMouse(target, WM_LBUTTONUP, 0, at);
  PumpMessages(dialog);
}

void TypeInto(HWND dialog, HWND edit, std::string_view text) {
  if (!IsWindowEnabled(edit)) return;  // a disabled edit takes no keys
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  const std::wstring wide = Widen(text);
  if (wide.empty()) PostMessageW(edit, WM_CHAR, VK_BACK, 0);
  for (wchar_t c : wide) PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
  PumpMessages(dialog);
}

bool WholeTextSelected(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
  return length > 0 && start == 0 && end == length;
}

std::optional<Rgb> RichCharacterColour(HWND rich, const std::string& text, int index) {
  // The rich edit counts UTF-16 units; the index counts characters of the text.
  const std::wstring wide = Widen(text);
  LONG pos = 0;
  for (int n = 0; n < index && static_cast<std::size_t>(pos) < wide.size(); ++n) {
    pos += IS_HIGH_SURROGATE(wide[static_cast<std::size_t>(pos)]) ? 2 : 1;
  }
  CHARRANGE range{pos, pos + 1};
  SendMessageW(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  CHARRANGE none{0, 0};
  SendMessageW(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
  if (format.dwEffects & CFE_AUTOCOLOR) return std::nullopt;
  const COLORREF c = format.crTextColor;
  return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

namespace {
thread_local MessageBoxAnswerer* activeAnswerer = nullptr;

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

struct BoxSearch {
  HWND owner;
  HWND found;
};

bool IsDialogWindow(HWND window) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  return IsWindowVisible(window) && std::wstring(cls) == L"#32770";
}

BOOL CALLBACK FindEdit(HWND window, LPARAM lParam) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (std::wstring(cls) != L"Edit") return TRUE;
  *reinterpret_cast<HWND*>(lParam) = window;
  return FALSE;
}

// The save-file dialog's file name box: an edit, or the edit inside its (extended) combo box.
HWND FileNameBox(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, cmb13); combo != nullptr) {
    HWND edit = nullptr;
    EnumChildWindows(combo, &FindEdit, reinterpret_cast<LPARAM>(&edit));
    if (edit != nullptr) return edit;
  }
  return GetDlgItem(dialog, edt1);
}

BOOL CALLBACK FindBox(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  if (window != search->owner && IsDialogWindow(window) && !IsSaveFileDialog(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct BoxParts {
  std::wstring text;
  bool icon = false;
};

BOOL CALLBACK ReadBoxPart(HWND child, LPARAM lParam) {
  auto* parts = reinterpret_cast<BoxParts*>(lParam);
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  if (std::wstring(cls) != L"Static" || !IsWindowVisible(child)) return TRUE;
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if ((style & SS_TYPEMASK) == SS_ICON) {
    parts->icon = parts->icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
  } else {
    const std::wstring text = TextOf(child);
    if (!text.empty()) parts->text = text;
  }
  return TRUE;
}

BOOL CALLBACK FindSaveDialog(HWND window, LPARAM lParam) {
  if (!IsSaveFileDialog(window)) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = window;
  return FALSE;
}

thread_local SaveFileAnswerer* activeSaveAnswerer = nullptr;

}  // namespace

bool IsSaveFileDialog(HWND window) {
  return IsDialogWindow(window) && FileNameBox(window) != nullptr;
}

std::string ClipboardText() {
  if (!OpenClipboard(nullptr)) return {};
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data)); chars != nullptr) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  std::wstring lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    lines += text[i];
  }
  return Narrow(lines);
}

SaveFileAnswerer::SaveFileAnswerer() {
  activeSaveAnswerer = this;
  timer_ = SetTimer(nullptr, 0, 10, &SaveFileAnswerer::OnTimer);
}

SaveFileAnswerer::~SaveFileAnswerer() {
  KillTimer(nullptr, timer_);
  activeSaveAnswerer = nullptr;
}

void CALLBACK SaveFileAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (activeSaveAnswerer != nullptr) activeSaveAnswerer->AnswerOpenDialog();
}

void SaveFileAnswerer::AnswerOpenDialog() {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindSaveDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr ||
      std::find(answered_.begin(), answered_.end(), dialog) != answered_.end()) {
    return;
  }
  answered_.push_back(dialog);
  seen_.push_back(Narrow(TextOf(dialog)));
  std::optional<std::wstring> answer;
  if (!answers_.empty()) {
    answer = std::move(answers_.front());
    answers_.pop_front();
  }
  AnswerSaveFileDialog(dialog, answer);
}

void AnswerSaveFileDialog(HWND dialog, const std::optional<std::wstring>& path) {
  if (!path) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return;
  }
  // Typed over the name the dialog offers, then OK.
  HWND box = FileNameBox(dialog);
  SendMessageW(box, EM_SETSEL, 0, -1);
  PostMessageW(box, WM_CHAR, VK_BACK, 0);
  for (wchar_t c : *path) PostMessageW(box, WM_CHAR, static_cast<WPARAM>(c), 0);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

namespace {
struct OwnedSearch {
  HWND owner;
  HWND found;
};
BOOL CALLBACK FindOwnedSaveDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lParam);
  if (GetWindow(window, GW_OWNER) != search->owner || !IsSaveFileDialog(window)) return TRUE;
  search->found = window;
  return FALSE;
}
}  // namespace

HWND FindSaveFileDialog(HWND owner) {
  OwnedSearch search{owner, nullptr};
  EnumWindows(&FindOwnedSaveDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

MessageBoxAnswerer::MessageBoxAnswerer(HWND owner) : owner_(owner) {
  activeAnswerer = this;
  timer_ = SetTimer(nullptr, 0, 10, &MessageBoxAnswerer::OnTimer);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  KillTimer(nullptr, timer_);
  activeAnswerer = nullptr;
}

void CALLBACK MessageBoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (activeAnswerer != nullptr) activeAnswerer->AnswerOpenBox();
}

void MessageBoxAnswerer::AnswerOpenBox() {
  BoxSearch search{owner_, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return;
  HWND box = search.found;
  BoxParts parts;
  EnumChildWindows(box, &ReadBoxPart, reinterpret_cast<LPARAM>(&parts));
  const bool okCancel = GetDlgItem(box, IDCANCEL) != nullptr;
  seen_.push_back({Narrow(parts.text), Narrow(TextOf(box)), okCancel, parts.icon});
  MessageResult answer = MessageResult::Ok;
  if (okCancel && !answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  const int button = answer == MessageResult::Cancel ? IDCANCEL : IDOK;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

}  // namespace uhf::test
