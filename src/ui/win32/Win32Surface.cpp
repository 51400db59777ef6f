#include "ui/win32/Win32Surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>
#include <stdexcept>

#include "text/DottedAddress.h"
#include "text/Utf8.h"
#include "text/WideText.h"
#include "ui/win32/Win32SurfaceState.h"

namespace uhf {

namespace {

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

// UTF-16 with CR LF line ends, as edits and the clipboard take text.
std::wstring CrLf(std::string_view text) {
  const std::wstring wide = Widen(text);
  std::wstring lines;
  lines.reserve(wide.size() + wide.size() / 16);
  for (wchar_t c : wide) {
    if (c == L'\n' && (lines.empty() || lines.back() != L'\r')) lines += L'\r';
    lines += c;
  }
  return lines;
}

}  // namespace

HWND Win32Surface::Control(int id) const {
  return controls_.count(id) != 0 ? At(id).hwnd : nullptr;
}

Win32Surface::ControlState& Win32Surface::At(int id) {
  ControlState& control = Existing(id);
  ResolveFills(id);
  if (control.written) MakeControl(control.index);
  return control;
}

const Win32Surface::ControlState& Win32Surface::At(int id) const {
  return const_cast<Win32Surface*>(this)->At(id);
}

// --- any control ---

void Win32Surface::SetText(int id, std::string_view text) {
  // A log pane is made first: a text set on it becomes its lines.
  if (ControlState* unbuilt = Unbuilt(id); unbuilt != nullptr && !unbuilt->log) {
    if (KeepWrittenText(unbuilt->kind, *unbuilt->written, unbuilt->text, text)) {
      Notify(id, Notification::EditChanged);
    }
    return;
  }
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
      if (control.log) {
        control.text.clear();
        control.rows.clear();
        AppendLines(id, text, std::numeric_limits<int>::max());
        return;
      }
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
      if (control.kind == ControlKind::Static) RepaintPanelUnder(control.hwnd);
      return;
  }
}

std::string Win32Surface::GetText(int id) const {
  if (const ControlState* unbuilt = Unbuilt(id)) {
    return WrittenText(unbuilt->kind, *unbuilt->written, built_.controls[unbuilt->index].text,
                       unbuilt->text);
  }
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
  if (ControlState* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::RadioButton || unbuilt->kind == ControlKind::CheckBox) {
      unbuilt->written->checked = state != 0;
    }
    return;
  }
  const ControlState& control = At(id);
  if (control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox) {
    SendMessageW(control.hwnd, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

int Win32Surface::GetCheck(int id) const {
  if (const ControlState* unbuilt = Unbuilt(id)) return unbuilt->written->checked.value_or(false);
  const ControlState& control = At(id);
  if (control.kind != ControlKind::RadioButton && control.kind != ControlKind::CheckBox) return 0;
  return SendMessageW(control.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

// The enabled and visible states wait for no fill.
void Win32Surface::Enable(int id, bool enabled) {
  ControlState& control = Existing(id);
  if (control.written) {
    control.written->enabled = enabled;
    return;
  }
  EnableWindow(control.hwnd, enabled ? TRUE : FALSE);
}

bool Win32Surface::IsEnabled(int id) const {
  const ControlState& control = Existing(id);
  if (control.written) {
    return control.written->enabled.value_or(built_.controls[control.index].enabled);
  }
  return IsWindowEnabled(control.hwnd) != FALSE;
}

bool Win32Surface::IsVisible(int id) const {
  const ControlState& control = Existing(id);
  if (control.written) return false;  // a layout that shows it makes it first
  // Visible once the dialog is shown: the control's own visibility style.
  return (GetWindowLongW(control.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Surface::SetFont(int id, const FontSpec& font) {
  const bool unbuilt = Unbuilt(id) != nullptr;
  if (!unbuilt) At(id);  // an unknown id is refused before anything is kept
  fontSpecs_[id] = font;
  if (!unbuilt) ApplyFont(id);  // else when it is made
}

int Win32Surface::Scaled(int pixelsAt96) const {
  return static_cast<int>(std::lround(pixelsAt96 * dpi_ / 96.0 * fit_));
}

// Makes the control's font from the font given for it, at the window's scale; done again when
// the scale changes.
void Win32Surface::ApplyFont(int id) {
  const ControlState& control = At(id);
  const FontSpec& font = fontSpecs_.at(id);
  HDC screen = GetDC(nullptr);
  if (control.kind == ControlKind::RichEdit && !control.log) {
    // The rich edit reads its sizes in twips at the system's dots per inch.
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    format.yHeight = static_cast<LONG>(std::lround(font.points * 20.0 * dpi_ / systemDpi * fit_));
    format.bCharSet = GB2312_CHARSET;
    const std::wstring face = Widen(font.face);
    wcsncpy(format.szFaceName, face.c_str(), LF_FACESIZE - 1);
    SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(control.hwnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return;
  }
  LOGFONTW logFont{};
  logFont.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi_ / 72.0 * fit_));
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
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
  HFONT& kept = fonts_[id];
  if (kept != nullptr) DeleteObject(kept);
  kept = handle;
  if (control.kind == ControlKind::Static) RepaintPanelUnder(control.hwnd);
}

void Win32Surface::ApplyFonts() {
  for (const auto& [id, font] : fontSpecs_) {
    if (Unbuilt(id) == nullptr) ApplyFont(id);
  }
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
  if (ControlState* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::Edit) unbuilt->written->limit = maxChars;
    return;
  }
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
  if (ControlState* unbuilt = Unbuilt(id)) {
    unbuilt->written->items.clear();
    unbuilt->written->selected = -1;
    return;
  }
  const ControlState& control = At(id);
  if (control.kind == ControlKind::ComboBox) SendMessageW(control.hwnd, CB_RESETCONTENT, 0, 0);
}

int Win32Surface::ComboAdd(int id, std::string_view text) {
  if (ControlState* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind != ControlKind::ComboBox) return -1;
    unbuilt->written->items.emplace_back(text);  // adding selects nothing
    return static_cast<int>(unbuilt->written->items.size()) - 1;
  }
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return -1;
  const std::wstring wide = Widen(text);
  return static_cast<int>(
      SendMessageW(control.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void Win32Surface::ComboSetSel(int id, int index) {
  if (ControlState* unbuilt = Unbuilt(id)) {
    const int count = static_cast<int>(unbuilt->written->items.size());
    unbuilt->written->selected = index >= 0 && index < count ? index : -1;
    return;
  }
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return;
  const int count = ComboCount(id);
  SendMessageW(control.hwnd, CB_SETCURSEL,
               static_cast<WPARAM>(index >= 0 && index < count ? index : -1), 0);
}

int Win32Surface::ComboGetSel(int id) const {
  if (const ControlState* unbuilt = Unbuilt(id)) {
    return unbuilt->kind == ControlKind::ComboBox ? unbuilt->written->selected : -1;
  }
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return -1;
  return static_cast<int>(SendMessageW(control.hwnd, CB_GETCURSEL, 0, 0));
}

int Win32Surface::ComboCount(int id) const {
  if (const ControlState* unbuilt = Unbuilt(id)) {
    return static_cast<int>(unbuilt->written->items.size());
  }
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ComboBox) return 0;
  return static_cast<int>(SendMessageW(control.hwnd, CB_GETCOUNT, 0, 0));
}

std::string Win32Surface::ComboItem(int id, int index) const {
  if (const ControlState* unbuilt = Unbuilt(id)) {
    const auto& items = unbuilt->written->items;
    return index >= 0 && index < static_cast<int>(items.size())
               ? items[static_cast<std::size_t>(index)]
               : std::string();
  }
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
  if (ControlState* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind != ControlKind::ListView) return;
    auto& columns = unbuilt->written->columns;
    const auto pos = std::clamp<std::ptrdiff_t>(column, 0, std::ssize(columns));
    columns.insert(columns.begin() + pos, {std::string(heading), std::max(widthPx, 0)});
    return;
  }
  ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return;
  std::wstring text = Widen(heading);
  LVCOLUMNW col{};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  col.fmt = LVCFMT_LEFT;
  col.cx = Scaled(std::max(widthPx, 0));
  col.pszText = text.data();
  const int pos = std::clamp(column, 0, ListColumnCount(id));
  col.iSubItem = pos;
  // The cells of the columns after the new one move along with their columns.
  for (auto& cells : control.rows) {
    if (pos < static_cast<int>(cells.size())) cells.insert(cells.begin() + pos, std::wstring());
  }
  SendMessageW(control.hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(pos),
               reinterpret_cast<LPARAM>(&col));
  // A column's cells are asked for by its sub-item number: keep it equal to the column's place.
  for (int c = pos + 1; c < ListColumnCount(id); ++c) {
    LVCOLUMNW number{};
    number.mask = LVCF_SUBITEM;
    number.iSubItem = c;
    SendMessageW(control.hwnd, LVM_SETCOLUMNW, static_cast<WPARAM>(c),
                 reinterpret_cast<LPARAM>(&number));
  }
}

int Win32Surface::ListColumnCount(int id) const {
  if (const ControlState* unbuilt = Unbuilt(id)) {
    return unbuilt->kind == ControlKind::ListView
               ? static_cast<int>(unbuilt->written->columns.size())
               : 0;
  }
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
  // In pixels at 96 dots per inch, as the width was given.
  const auto pixels = static_cast<int>(
      SendMessageW(control.hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  return static_cast<int>(std::lround(pixels * 96.0 / dpi_ / fit_));
}

int Win32Surface::ListInsertItem(int id, int row, std::string_view text) {
  ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return -1;
  const int at = std::clamp(row, 0, static_cast<int>(control.rows.size()));
  int selected = ListGetSelection(id);
  if (selected >= at) ++selected;
  control.rows.insert(control.rows.begin() + at, std::vector<std::wstring>{Widen(text)});
  ListRowsMoved(control, at, selected);
  return at;
}

void Win32Surface::ListRowsMoved(ControlState& control, int from, int selected) {
  const int count = static_cast<int>(control.rows.size());
  // Only what is in view is drawn again: appending to a long list costs one row.
  SendMessageW(control.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
               LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  RedrawRowsInView(control.hwnd, from, count - 1);
  // The list view keeps selection by index: a row inserted above the selected one moves it.
  if (selected != ListGetSelection(control.id) && selected >= 0 && selected < count) {
    quietSelection_ = true;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(control.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(&state));
    quietSelection_ = false;
  }
}

void Win32Surface::ShowListCell(const ControlState& control, LVITEMW& item) {
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  if (item.iItem < 0 || item.iItem >= static_cast<int>(control.rows.size()) || item.iSubItem < 0)
    return;
  const auto& cells = control.rows[static_cast<std::size_t>(item.iItem)];
  if (item.iSubItem >= static_cast<int>(cells.size())) return;
  const std::wstring& text = cells[static_cast<std::size_t>(item.iSubItem)];
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
  std::copy_n(text.begin(), n, item.pszText);
  item.pszText[n] = L'\0';
}

int Win32Surface::FindListRow(const ControlState& control, int start, const LVFINDINFOW& find) {
  if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.psz == nullptr) return -1;
  const std::wstring_view wanted(find.psz);
  const int count = static_cast<int>(control.rows.size());
  const bool partial = (find.flags & LVFI_PARTIAL) != 0;
  const auto matches = [&](int row) {
    const std::wstring& cell = control.rows[static_cast<std::size_t>(row)].front();
    if (cell.size() < wanted.size() || (!partial && cell.size() != wanted.size())) return false;
    // The list's own search ignores case.
    return CompareStringOrdinal(cell.data(), static_cast<int>(wanted.size()), wanted.data(),
                                static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
  };
  const int first = std::clamp(start, 0, count);
  for (int row = first; row < count; ++row) {
    if (matches(row)) return row;
  }
  if (find.flags & LVFI_WRAP) {
    for (int row = 0; row < first; ++row) {
      if (matches(row)) return row;
    }
  }
  return -1;
}

void Win32Surface::ListSetItemText(int id, int row, int column, std::string_view text) {
  ControlState& control = At(id);
  if (control.kind != ControlKind::ListView || row < 0 || row >= ListCount(id) || column < 0 ||
      column >= ListColumnCount(id)) {
    return;
  }
  auto& cells = control.rows[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
  cells[static_cast<std::size_t>(column)] = Widen(text);
  RedrawRowsInView(control.hwnd, row, row);
}

void Win32Surface::RedrawRowsInView(HWND list, int first, int last) {
  // Asking to redraw a row out of view still costs a round trip to the window system per row.
  const auto top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  const auto bottom = top + static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  first = std::max(first, top);
  last = std::min(last, bottom);
  if (first <= last) {
    SendMessageW(list, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
  }
}

std::string Win32Surface::ListGetItemText(int id, int row, int column,
                                          std::size_t bufferSize) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView || bufferSize == 0 || row < 0 || row >= ListCount(id) ||
      column < 0) {
    return {};
  }
  const auto& cells = control.rows[static_cast<std::size_t>(row)];
  if (column >= static_cast<int>(cells.size())) return {};
  const std::string text = Narrow(cells[static_cast<std::size_t>(column)]);
  return std::string(Utf8Prefix(text, bufferSize - 1));
}

int Win32Surface::ListCount(int id) const {
  const ControlState& control = At(id);
  return control.kind == ControlKind::ListView ? static_cast<int>(control.rows.size()) : 0;
}

void Win32Surface::ListDeleteAll(int id) {
  ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return;
  control.rows.clear();
  SendMessageW(control.hwnd, LVM_DELETEALLITEMS, 0, 0);
}

void Win32Surface::ListAddExtendedStyle(int id, std::uint32_t bits) {
  if (ControlState* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::ListView) unbuilt->writtenListStyle |= bits;
    return;
  }
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

int Win32Surface::ListGetSelection(int id) const {
  const ControlState& control = At(id);
  if (control.kind != ControlKind::ListView) return -1;
  return static_cast<int>(
      SendMessageW(control.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
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
  if (ControlState* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::IpAddress) unbuilt->written->text = std::string(dotted);
    return;
  }
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
  if (control.kind != ControlKind::RichEdit || control.log || start < 0) return;
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

void Win32Surface::AppendLines(int id, std::string_view lines, int maxLines) {
  ControlState& control = At(id);
  if (!control.log) return;
  std::string added(lines);
  std::erase(added, '\r');
  std::string& text = control.text;  // what the pane shows, line feeds for its line breaks
  // One row a line; text after the last line feed is a line still open, continued here.
  std::size_t from = text.size();
  if (!text.empty() && text.back() != '\n') {
    const std::size_t lastBreak = text.rfind('\n');
    from = lastBreak == std::string::npos ? 0 : lastBreak + 1;
    control.rows.pop_back();
  }
  const std::size_t first = control.rows.size();
  text += added;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    control.rows.push_back({Widen(std::string_view(text).substr(from, end - from))});
    from = end + 1;
  }
  // The oldest lines beyond maxLines go.
  const std::size_t keep = static_cast<std::size_t>(std::max(maxLines, 0));
  std::size_t dropped = 0;
  if (control.rows.size() > keep) {
    dropped = control.rows.size() - keep;
    std::size_t cut = 0;
    for (std::size_t n = 0; n < dropped; ++n) {
      const std::size_t end = text.find('\n', cut);
      cut = end == std::string::npos ? text.size() : end + 1;
    }
    text.erase(0, cut);
    control.rows.erase(control.rows.begin(),
                       control.rows.begin() + static_cast<std::ptrdiff_t>(dropped));
  }
  ShowLogRows(control, first > dropped ? first - dropped : 0, dropped > 0);
}

// The pane is as long as its lines and as wide as the longest; it shows the last line. Only the
// lines in view are drawn, so a pane of 10,000 lines costs no more than one of ten.
void Win32Surface::ShowLogRows(ControlState& control, std::size_t newFrom, bool shifted) {
  HWND pane = control.hwnd;
  const std::size_t count = control.rows.size();
  int width = static_cast<int>(SendMessageW(pane, LVM_GETCOLUMNWIDTH, 0, 0));
  if (newFrom < count) {
    // One device context for all the new lines.
    HDC dc = GetDC(pane);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(pane, WM_GETFONT, 0, 0)));
    for (std::size_t row = newFrom; row < count; ++row) {
      const std::wstring& line = control.rows[row].front();
      SIZE size{};
      GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
      width = std::max(width, static_cast<int>(size.cx) + Scaled(12));
    }
    SelectObject(dc, old);
    ReleaseDC(pane, dc);
  }
  SendMessageW(pane, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
  SendMessageW(pane, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
  if (shifted) {
    InvalidateRect(pane, nullptr, TRUE);  // every line moved up
  } else {
    RedrawRowsInView(pane, static_cast<int>(newFrom), static_cast<int>(count) - 1);
  }
  if (count > 0) SendMessageW(pane, LVM_ENSUREVISIBLE, count - 1, FALSE);
}

// --- clipboard and save-file dialog ---

bool Win32Surface::CopyToClipboard(std::string_view text) {
  const std::wstring lines = CrLf(text);
  // Another program may hold the clipboard for a moment (a clipboard viewer reading it).
  bool open = false;
  for (int attempt = 0; attempt < 5 && !open; ++attempt) {
    if (attempt > 0) Sleep(10);
    open = OpenClipboard(dialog_) != FALSE;
  }
  if (!open) return false;
  EmptyClipboard();
  const std::size_t bytes = (lines.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool copied = false;
  if (memory != nullptr) {
    if (void* data = GlobalLock(memory); data != nullptr) {
      std::memcpy(data, lines.c_str(), bytes);
      GlobalUnlock(memory);
      copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!copied) GlobalFree(memory);  // the clipboard owns it only once set
  }
  CloseClipboard();
  return copied;
}

std::optional<std::filesystem::path> Win32Surface::AskSaveFileName(std::string_view title,
                                                                   std::string_view fileName,
                                                                   std::string_view typeName,
                                                                   std::string_view extension) {
  const std::wstring ext = Widen(extension);
  const std::wstring caption = Widen(title);
  // "CSV files (*.csv)\0*.csv\0\0"
  std::wstring filter = Widen(typeName) + L" (*." + ext + L")";
  filter += L'\0';
  filter += L"*." + ext;
  filter += L'\0';
  filter += L'\0';
  // Room for a long path (\\?\ paths reach 32767 characters).
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring initial = Widen(fileName);
  std::copy_n(initial.begin(), std::min(initial.size(), file.size() - 1), file.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = dialog_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
  dialog.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;  // cancelled (or the dialog failed)
  return std::filesystem::path(std::wstring(file.data()));
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
