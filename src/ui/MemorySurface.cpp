#include "ui/MemorySurface.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "text/DottedAddress.h"
#include "text/Utf8.h"
#include "ui/ViewLayout.h"

namespace uhf {

MemorySurface::MemorySurface(const DialogTemplate& dialog)
    : built_(dialog), widthDu_(dialog.widthDu), heightDu_(dialog.heightDu), radios_(dialog) {
  for (const auto& tpl : dialog.controls) {
    if (tpl.id == kNoId) continue;
    Control control;
    control.kind = tpl.kind;
    control.text = tpl.text;
    control.enabled = tpl.enabled;
    control.visible = tpl.visible;
    control.rect = tpl.rect;
    controls_.emplace(tpl.id, std::move(control));
  }
}

MemorySurface::Control& MemorySurface::At(int id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return it->second;
}

const MemorySurface::Control& MemorySurface::At(int id) const {
  return const_cast<MemorySurface*>(this)->At(id);
}

void MemorySurface::SetText(int id, std::string_view text) {
  Control& control = At(id);
  control.text = std::string(text);
  control.selectedAll = false;
  if (control.kind == ControlKind::RichEdit) control.colours.clear();
  if (control.kind == ControlKind::Edit) Notify(id, Notification::EditChanged);
}

std::string MemorySurface::GetText(int id) const {
  const Control& control = At(id);
  if (control.kind == ControlKind::ComboBox) {
    return control.selection >= 0 ? control.items[static_cast<std::size_t>(control.selection)]
                                  : std::string();
  }
  if (control.kind == ControlKind::IpAddress) {
    std::array<std::uint8_t, 4> fields{};
    if (IpGetAddress(id, fields) == 0) return {};
    return DottedAddressText(fields);
  }
  return control.text;
}

void MemorySurface::SetCheck(int id, int state) {
  Control& control = At(id);
  // Only check boxes and radios hold a check state; others ignore it.
  if (control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox) {
    control.check = state;
  }
}
int MemorySurface::GetCheck(int id) const {
  return At(id).check;
}
void MemorySurface::Enable(int id, bool enabled) {
  At(id).enabled = enabled;
}
bool MemorySurface::IsEnabled(int id) const {
  return At(id).enabled;
}
bool MemorySurface::IsVisible(int id) const {
  return At(id).visible;
}
void MemorySurface::SetFont(int id, const FontSpec& font) {
  At(id).font = font;
}
void MemorySurface::SetFocus(int id) {
  At(id);
  focus_ = id;
}
int MemorySurface::FocusedControl() const {
  return focus_;
}
void MemorySurface::LimitText(int id, int maxChars) {
  At(id).limit = maxChars;
}
void MemorySurface::SelectAllText(int id) {
  Control& control = At(id);
  if (control.kind == ControlKind::Edit) control.selectedAll = true;
}

void MemorySurface::ComboReset(int id) {
  Control& control = At(id);
  control.items.clear();
  control.selection = -1;
}

int MemorySurface::ComboAdd(int id, std::string_view text) {
  Control& control = At(id);
  control.items.emplace_back(text);
  return static_cast<int>(control.items.size()) - 1;
}

void MemorySurface::ComboSetSel(int id, int index) {
  Control& control = At(id);
  control.selection = (index >= 0 && index < static_cast<int>(control.items.size())) ? index : -1;
}

int MemorySurface::ComboGetSel(int id) const {
  return At(id).selection;
}
int MemorySurface::ComboCount(int id) const {
  return static_cast<int>(At(id).items.size());
}

std::string MemorySurface::ComboItem(int id, int index) const {
  const Control& control = At(id);
  if (index < 0 || index >= static_cast<int>(control.items.size())) return {};
  return control.items[static_cast<std::size_t>(index)];
}

void MemorySurface::ListInsertColumn(int id, int column, std::string_view heading, int widthPx) {
  Control& control = At(id);
  auto pos =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(column, 0)), control.columns.size());
  control.columns.insert(control.columns.begin() + static_cast<std::ptrdiff_t>(pos),
                         Control::Column{std::string(heading), widthPx});
  // The cells of the columns after the new one move along with their columns.
  for (auto& cells : control.rows) {
    if (pos < cells.size())
      cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(pos), std::string());
  }
}

int MemorySurface::ListColumnCount(int id) const {
  return static_cast<int>(At(id).columns.size());
}

std::string MemorySurface::ListColumnHeading(int id, int column) const {
  const Control& control = At(id);
  if (column < 0 || column >= static_cast<int>(control.columns.size())) return {};
  return control.columns[static_cast<std::size_t>(column)].heading;
}

int MemorySurface::ListColumnWidth(int id, int column) const {
  const Control& control = At(id);
  if (column < 0 || column >= static_cast<int>(control.columns.size())) return 0;
  return control.columns[static_cast<std::size_t>(column)].width;
}

int MemorySurface::ListInsertItem(int id, int row, std::string_view text) {
  Control& control = At(id);
  auto pos = std::min<std::size_t>(static_cast<std::size_t>(std::max(row, 0)), control.rows.size());
  std::vector<std::string> cells(std::max<std::size_t>(control.columns.size(), 1));
  cells[0] = std::string(text);
  control.rows.insert(control.rows.begin() + static_cast<std::ptrdiff_t>(pos), std::move(cells));
  return static_cast<int>(pos);
}

void MemorySurface::ListSetItemText(int id, int row, int column, std::string_view text) {
  Control& control = At(id);
  if (row < 0 || row >= static_cast<int>(control.rows.size()) || column < 0) return;
  auto& cells = control.rows[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
  cells[static_cast<std::size_t>(column)] = std::string(text);
}

std::string MemorySurface::ListGetItemText(int id, int row, int column,
                                           std::size_t bufferSize) const {
  const Control& control = At(id);
  if (bufferSize == 0 || row < 0 || row >= static_cast<int>(control.rows.size()) || column < 0) {
    return {};
  }
  const auto& cells = control.rows[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) >= cells.size()) return {};
  return std::string(Utf8Prefix(cells[static_cast<std::size_t>(column)], bufferSize - 1));
}

int MemorySurface::ListCount(int id) const {
  return static_cast<int>(At(id).rows.size());
}
void MemorySurface::ListDeleteAll(int id) {
  At(id).rows.clear();
  At(id).selectedRow = -1;
}
int MemorySurface::ListGetSelection(int id) const {
  return At(id).selectedRow;
}
void MemorySurface::ListAddExtendedStyle(int id, std::uint32_t bits) {
  At(id).extendedStyle |= bits;
}
std::uint32_t MemorySurface::ListExtendedStyle(int id) const {
  return At(id).extendedStyle;
}

int MemorySurface::IpGetAddress(int id, std::array<std::uint8_t, 4>& fields) const {
  const Control& control = At(id);
  int filled = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    fields[i] = control.address[i].value_or(0);
    if (control.address[i]) ++filled;
  }
  return filled;
}

void MemorySurface::IpSetAddress(int id, std::string_view dotted) {
  At(id).address = ParseDottedAddress(dotted);
}

void MemorySurface::RichSetColor(int id, int start, int end, Rgb colour) {
  At(id).colours.push_back({start, end, colour});
}

MessageResult MemorySurface::MessageBox(std::string_view text, std::string_view caption,
                                        MessageButtons buttons, MessageIcon icon) {
  messages_.push_back({std::string(text), std::string(caption), buttons, icon});
  if (buttons == MessageButtons::Ok) return MessageResult::Ok;
  if (answers_.empty()) return MessageResult::Ok;
  const MessageResult answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void MemorySurface::Click(int id) {
  Control& control = At(id);
  if (!control.enabled) return;  // a disabled control takes no click
  const bool radio =
      radios_.Click(id, [this](int other, bool checked) { At(other).check = checked ? 1 : 0; });
  if (!radio && control.kind == ControlKind::CheckBox) {
    control.check = control.check ? 0 : 1;
  }
  Notify(id, Notification::Clicked);
}

void MemorySurface::DoubleClick(int id) {
  if (!At(id).enabled) return;
  Notify(id, Notification::DoubleClicked);
}

void MemorySurface::Type(int id, std::string_view text) {
  Control& control = At(id);
  // The limit counts characters, as the data exchange's length check does, not bytes.
  if (control.limit > 0) text = Utf8PrefixChars(text, static_cast<std::size_t>(control.limit));
  control.text = std::string(text);
  control.selectedAll = false;
  Notify(id, Notification::EditChanged);
}

const std::vector<ColourRange>& MemorySurface::Colours(int id) const {
  return At(id).colours;
}
std::optional<Rgb> MemorySurface::ColourAt(int id, int character) const {
  const Control& control = At(id);
  const int length = static_cast<int>(Utf8Length(control.text));
  std::optional<Rgb> colour;
  for (const ColourRange& range : control.colours) {
    // Ranges count characters; an end of -1 or past the text means its end. Later ones win.
    int start = range.start;
    int end = range.end < 0 || range.end > length ? length : range.end;
    if (start < 0) continue;
    if (start > end) std::swap(start, end);
    if (character >= start && character < end) colour = range.colour;
  }
  return colour;
}
std::optional<FontSpec> MemorySurface::Font(int id) const {
  return At(id).font;
}
int MemorySurface::TextLimit(int id) const {
  return At(id).limit;
}
bool MemorySurface::WholeTextSelected(int id) const {
  return At(id).selectedAll;
}

// --- views and window commands ---

void MemorySurface::ApplyLayout(const DialogTemplate& layout) {
  MatchLayout(built_, layout);  // refuses a layout of other controls before anything changes
  for (const ControlTemplate& tpl : layout.controls) {
    if (tpl.id == kNoId) continue;
    Control& control = At(tpl.id);
    control.rect = tpl.rect;
    control.visible = tpl.visible;
  }
  widthDu_ = layout.widthDu;
  heightDu_ = layout.heightDu;
}

DialogRect MemorySurface::Rect(int id) const {
  return At(id).rect;
}

void MemorySurface::AddWindowCommand(std::string_view text, char key, std::function<void()> run) {
  commands_[key] = {std::string(text), false, std::move(run)};
}

void MemorySurface::CheckWindowCommand(char key, bool checked) {
  const auto it = commands_.find(key);
  if (it != commands_.end()) it->second.checked = checked;
}

const MemorySurface::WindowCommand* MemorySurface::FindWindowCommand(char key) const {
  const auto it = commands_.find(key);
  return it == commands_.end() ? nullptr : &it->second;
}

void MemorySurface::SelectRow(int id, int row) {
  Control& control = At(id);
  if (!control.enabled || row < 0 || row >= static_cast<int>(control.rows.size())) return;
  control.selectedRow = row;
  Notify(id, Notification::SelectionChanged);
}

void MemorySurface::AppendLines(int id, std::string_view lines, int maxLines) {
  Control& control = At(id);
  control.text += lines;
  std::size_t count =
      static_cast<std::size_t>(std::count(control.text.begin(), control.text.end(), '\n'));
  if (!control.text.empty() && control.text.back() != '\n') ++count;
  std::size_t cut = 0;
  for (; count > static_cast<std::size_t>(std::max(maxLines, 0)); --count)
    cut = control.text.find('\n', cut) + 1;
  control.text.erase(0, cut);
}

bool MemorySurface::CopyToClipboard(std::string_view text) {
  clipboard_ = std::string(text);
  return true;
}

std::optional<std::filesystem::path> MemorySurface::AskSaveFileName(std::string_view title,
                                                                    std::string_view,
                                                                    std::string_view,
                                                                    std::string_view extension) {
  saveDialogs_.emplace_back(title);
  if (saveAnswers_.empty()) return std::nullopt;
  std::optional<std::filesystem::path> answer = std::move(saveAnswers_.front());
  saveAnswers_.pop_front();
  // As the platforms' dialogs do: a name typed without an extension gets the type's.
  if (answer && !answer->has_extension()) answer->replace_extension(std::string(extension));
  return answer;
}

void MemorySurface::PostToWindowThread(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(posted_.mutex);
  posted_.tasks.push_back(std::move(task));
}

int MemorySurface::RunPostedTasks() {
  int run = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(posted_.mutex);
      if (posted_.tasks.empty()) return run;
      task = std::move(posted_.tasks.front());
      posted_.tasks.pop_front();
    }
    task();
    ++run;
  }
}

void MemorySurface::PressCtrl(char key) {
  const auto it = commands_.find(key);
  if (it != commands_.end() && it->second.run) it->second.run();
}

}  // namespace uhf
