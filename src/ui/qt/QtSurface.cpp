#include "ui/qt/QtSurface.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "text/DottedAddress.h"
#include "text/Utf8.h"
#include "text/Utf8Path.h"
#include "ui/HoverColours.h"
#include "ui/qt/GroupFrameStyle.h"
#include "ui/qt/IpAddressWidget.h"
#include "ui/qt/QtSurfaceState.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportList.h"
#include "ui/qt/SurfaceDialog.h"
#include "ui/qt/TextLimitValidator.h"

namespace uhf {

QtSurface::QtSurface(const DialogTemplate& dialog, ButtonFactory makeButton)
    : dialog_(std::make_unique<SurfaceDialog>()),
      radios_(dialog),
      pushButtonBrush_(
          QColor(kPushButtonBackground.r, kPushButtonBackground.g, kPushButtonBackground.b),
          Qt::SolidPattern),
      mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->receiver = dialog_.get();
  dialog_->onFirstFrame = [this] { OnFirstFrame(); };
  Build(dialog, makeButton);
}

QtSurface::~QtSurface() {
  {
    // A worker still finding a value drops its result.
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    mailbox_->receiver = nullptr;
  }
  // Widgets being destroyed must not reach the dialog's handlers.
  SetNotificationHandler(nullptr);
  dialog_.reset();
}

QtSurface::Control& QtSurface::At(int id) {
  if (!deferred_.empty() && id != kNoId && id != building_) ResolveDeferred(id);
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return *it->second;
}

const QtSurface::Control& QtSurface::At(int id) const {
  return const_cast<QtSurface*>(this)->At(id);
}

const QtSurface::Control& QtSurface::Find(int id) const {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return *it->second;
}

QDialog* QtSurface::Window() const {
  return dialog_.get();
}

QWidget* QtSurface::Widget(int id) const {
  if (!deferred_.empty() && id != kNoId) const_cast<QtSurface*>(this)->ResolveDeferred(id);
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second->widget;
}

void QtSurface::SetCloseHandler(std::function<bool()> handler) {
  dialog_->closeHandler = std::move(handler);
}

void QtSurface::PostToWindowThread(std::function<void()> task) {
  QMetaObject::invokeMethod(dialog_.get(), std::move(task), Qt::QueuedConnection);
}

void QtSurface::SetAcceptHandler(std::function<bool()> handler) {
  dialog_->acceptHandler = std::move(handler);
}

// --- any control ---

void QtSurface::SetText(int id, std::string_view text) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (KeepWrittenText(unbuilt->kind, *unbuilt->written, unbuilt->text, text)) {
      Notify(id, Notification::EditChanged);
    }
    return;
  }
  Control& control = At(id);
  switch (control.kind) {
    case ControlKind::Edit:
      control.edit->setText(ToQ(text));
      // Every text set on an edit notifies, changed or not (the surface contract).
      Notify(id, Notification::EditChanged);
      return;
    case ControlKind::IpAddress:
      IpSetAddress(id, text);
      return;
    case ControlKind::ComboBox:
    case ControlKind::ListView:
      return;  // a drop-down list shows its selection
    case ControlKind::RichEdit: {
      control.text = std::string(text);
      control.appended = false;
      control.rich->document()->setMaximumBlockCount(0);  // a log pane's limit goes with its lines
      control.rich->setPlainText(ToDisplay(text));
      // New text starts without colours, centred.
      QTextCursor cursor(control.rich->document());
      cursor.select(QTextCursor::Document);
      cursor.setCharFormat(QTextCharFormat());
      QTextBlockFormat centred;
      centred.setAlignment(Qt::AlignHCenter);
      cursor.mergeBlockFormat(centred);
      return;
    }
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
      control.button->setText(ToDisplay(text));
      break;
    case ControlKind::GroupBox:
      control.group->setTitle(ToDisplay(text));
      break;
    case ControlKind::Static:
      ShowStaticText(control.label, ToDisplay(text));
      break;
    case ControlKind::Picture:
      break;
  }
  control.text = std::string(text);
}

const QtSurface::Control* QtSurface::UnbuiltAsWritten(int id) const {
  const Control* unbuilt = const_cast<QtSurface*>(this)->Unbuilt(id);
  const bool onlyBuildPending =
      std::none_of(deferred_.begin(), deferred_.end(),
                   [id](const Deferred& deferred) { return deferred.id == id && !deferred.build; });
  return onlyBuildPending ? unbuilt : nullptr;
}

std::string QtSurface::GetText(int id) const {
  if (const Control* unbuilt = UnbuiltAsWritten(id)) {
    return WrittenText(*unbuilt);  // what the widget would show; a data exchange reads this
  }
  const Control& control = At(id);
  switch (control.kind) {
    case ControlKind::Edit:
      return FromQ(control.edit->text());
    case ControlKind::ComboBox:
      return FromQ(control.combo->currentText());
    case ControlKind::IpAddress: {
      std::array<std::uint8_t, 4> fields{};
      if (IpGetAddress(id, fields) == 0) return {};
      return DottedAddressText(fields);
    }
    case ControlKind::ListView:
      return {};
    case ControlKind::RichEdit:
      return control.appended ? FromQ(control.rich->document()->toPlainText()) : control.text;
    default:
      return control.text;
  }
}

void QtSurface::SetCheck(int id, int state) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::RadioButton || unbuilt->kind == ControlKind::CheckBox) {
      unbuilt->written->checked = state != 0;
    }
    return;
  }
  const Control& control = At(id);
  if (control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox) {
    control.button->setChecked(state != 0);
  }
}

int QtSurface::GetCheck(int id) const {
  const Control& control = At(id);
  if (control.kind != ControlKind::RadioButton && control.kind != ControlKind::CheckBox) return 0;
  return control.button->isChecked() ? 1 : 0;
}

void QtSurface::Enable(int id, bool enabled) {
  if (Control* unbuilt = Unbuilt(id)) {
    unbuilt->written->enabled = enabled;
    return;
  }
  Find(id).widget->setEnabled(enabled);
}

bool QtSurface::IsEnabled(int id) const {
  const Control& control = Find(id);
  if (control.unbuilt) return control.written->enabled.value_or(control.unbuilt->enabled);
  return control.widget->isEnabledTo(dialog_.get());
}

bool QtSurface::IsVisible(int id) const {
  const Control& control = Find(id);
  // Not built yet: hidden (a layout that shows it builds it first).
  return !control.unbuilt && control.widget->isVisibleTo(dialog_.get());
}

void QtSurface::SetFont(int id, const FontSpec& font) {
  if (Control* unbuilt = Unbuilt(id)) {
    unbuilt->written->font = font;
    return;
  }
  Control& control = At(id);
  control.widget->setFont(MakeDialogFont(font.face, font.points));
  if (control.kind == ControlKind::Static) ShowStaticText(control.label, ToDisplay(control.text));
}

void QtSurface::SetFocus(int id) {
  At(id).widget->setFocus(Qt::OtherFocusReason);
}

int QtSurface::FocusedControl() const {
  const QWidget* focus = dialog_->focusWidget();
  if (focus == nullptr) return kNoId;
  for (const auto& [id, control] : controls_) {
    if (control->widget != nullptr &&
        (control->widget == focus || control->widget->isAncestorOf(focus))) {
      return id;
    }
  }
  return kNoId;
}

void QtSurface::LimitText(int id, int maxChars) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::Edit) unbuilt->written->limit = maxChars;
    return;
  }
  const Control& control = At(id);
  if (control.limiter != nullptr) control.limiter->SetLimit(std::max(maxChars, 0));
}

void QtSurface::SelectAllText(int id) {
  const Control& control = At(id);
  if (control.edit != nullptr) control.edit->selectAll();
}

// --- drop-down lists ---

void QtSurface::ComboReset(int id) {
  if (Control* unbuilt = Unbuilt(id)) {
    unbuilt->written->items.clear();
    unbuilt->written->selected = -1;
    return;
  }
  const Control& control = At(id);
  if (control.combo != nullptr) control.combo->clear();
}

int QtSurface::ComboAdd(int id, std::string_view text) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind != ControlKind::ComboBox) return -1;
    unbuilt->written->items.emplace_back(text);  // adding selects nothing
    return static_cast<int>(unbuilt->written->items.size()) - 1;
  }
  const Control& control = At(id);
  if (control.combo == nullptr) return -1;
  const int before = control.combo->currentIndex();
  control.combo->addItem(ToQ(text));
  // Adding the first item selects it in Qt; a drop-down list keeps no selection until one is
  // made.
  if (before == -1 && control.combo->currentIndex() != -1) control.combo->setCurrentIndex(-1);
  return control.combo->count() - 1;
}

void QtSurface::ComboSetSel(int id, int index) {
  if (Control* unbuilt = Unbuilt(id)) {
    const int count = static_cast<int>(unbuilt->written->items.size());
    unbuilt->written->selected = index >= 0 && index < count ? index : -1;
    return;
  }
  const Control& control = At(id);
  if (control.combo == nullptr) return;
  control.combo->setCurrentIndex(index >= 0 && index < control.combo->count() ? index : -1);
}

int QtSurface::ComboGetSel(int id) const {
  const Control& control = At(id);
  return control.combo != nullptr ? control.combo->currentIndex() : -1;
}

int QtSurface::ComboCount(int id) const {
  const Control& control = At(id);
  return control.combo != nullptr ? control.combo->count() : 0;
}

std::string QtSurface::ComboItem(int id, int index) const {
  const Control& control = At(id);
  if (control.combo == nullptr || index < 0 || index >= control.combo->count()) return {};
  return FromQ(control.combo->itemText(index));
}

// --- list view ---

void QtSurface::ListInsertColumn(int id, int column, std::string_view heading, int widthPx) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind != ControlKind::ListView) return;
    auto& columns = unbuilt->written->columns;
    const auto pos = std::clamp<std::ptrdiff_t>(column, 0, std::ssize(columns));
    columns.insert(columns.begin() + pos, {std::string(heading), std::max(widthPx, 0)});
    return;
  }
  ReportList* list = At(id).list;
  if (list == nullptr) return;
  const int pos = std::clamp(column, 0, list->columnCount());
  list->insertColumn(pos);
  list->setHorizontalHeaderItem(pos, new QTableWidgetItem(ToQ(heading)));
  list->setColumnWidth(pos, std::max(widthPx, 0));
}

int QtSurface::ListColumnCount(int id) const {
  if (const Control* unbuilt = UnbuiltAsWritten(id)) {
    return unbuilt->kind == ControlKind::ListView
               ? static_cast<int>(unbuilt->written->columns.size())
               : 0;
  }
  const ReportList* list = At(id).list;
  return list != nullptr ? list->columnCount() : 0;
}

std::string QtSurface::ListColumnHeading(int id, int column) const {
  const ReportList* list = At(id).list;
  if (list == nullptr || column < 0 || column >= list->columnCount()) return {};
  const QTableWidgetItem* item = list->horizontalHeaderItem(column);
  return item != nullptr ? FromQ(item->text()) : std::string();
}

int QtSurface::ListColumnWidth(int id, int column) const {
  const ReportList* list = At(id).list;
  if (list == nullptr || column < 0 || column >= list->columnCount()) return 0;
  return list->columnWidth(column);
}

int QtSurface::ListInsertItem(int id, int row, std::string_view text) {
  ReportList* list = At(id).list;
  if (list == nullptr) return -1;
  const int pos = std::clamp(row, 0, list->rowCount());
  list->insertRow(pos);
  // Cells live in columns; without any column the row holds no text.
  if (list->columnCount() > 0) list->setItem(pos, 0, new QTableWidgetItem(ToQ(text)));
  return pos;
}

void QtSurface::ListSetItemText(int id, int row, int column, std::string_view text) {
  ReportList* list = At(id).list;
  if (list == nullptr || row < 0 || row >= list->rowCount() || column < 0 ||
      column >= list->columnCount()) {
    return;
  }
  if (QTableWidgetItem* item = list->item(row, column)) {
    item->setText(ToQ(text));
  } else {
    list->setItem(row, column, new QTableWidgetItem(ToQ(text)));
  }
}

std::string QtSurface::ListGetItemText(int id, int row, int column, std::size_t bufferSize) const {
  const ReportList* list = At(id).list;
  if (list == nullptr || bufferSize == 0 || row < 0 || row >= list->rowCount() || column < 0 ||
      column >= list->columnCount()) {
    return {};
  }
  const QTableWidgetItem* item = list->item(row, column);
  if (item == nullptr) return {};
  const QByteArray bytes = item->text().toUtf8();
  return std::string(Utf8Prefix(std::string_view(bytes.constData(), bytes.size()), bufferSize - 1));
}

int QtSurface::ListCount(int id) const {
  const ReportList* list = At(id).list;
  return list != nullptr ? list->rowCount() : 0;
}

void QtSurface::ListDeleteAll(int id) {
  ReportList* list = At(id).list;
  if (list != nullptr) list->DeleteAllRows();
}

int QtSurface::ListGetSelection(int id) const {
  const ReportList* list = At(id).list;
  return list != nullptr ? list->SelectedRow() : -1;
}

void QtSurface::ListAddExtendedStyle(int id, std::uint32_t bits) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::ListView) unbuilt->listStyle |= bits;  // applied when built
    return;
  }
  Control& control = At(id);
  if (control.list == nullptr) return;
  control.listStyle |= bits;
  ApplyListStyle(control);
}

void QtSurface::ApplyListStyle(Control& control) {
  control.list->setShowGrid((control.listStyle & kListGridLines) != 0);
  control.list->setSelectionBehavior((control.listStyle & kListFullRowSelect)
                                         ? QAbstractItemView::SelectRows
                                         : QAbstractItemView::SelectItems);
}

std::uint32_t QtSurface::ListExtendedStyle(int id) const {
  return At(id).listStyle;
}

// --- IP address control ---

int QtSurface::IpGetAddress(int id, std::array<std::uint8_t, 4>& fields) const {
  const Control& control = At(id);
  fields = {};
  if (control.ip == nullptr) return 0;
  int filled = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const QString text = control.ip->fields[i]->text();
    if (text.isEmpty()) continue;
    fields[i] = static_cast<std::uint8_t>(std::min(text.toInt(), 255));
    ++filled;
  }
  return filled;
}

void QtSurface::IpSetAddress(int id, std::string_view dotted) {
  if (Control* unbuilt = Unbuilt(id)) {
    if (unbuilt->kind == ControlKind::IpAddress) unbuilt->written->text = std::string(dotted);
    return;
  }
  const Control& control = At(id);
  if (control.ip != nullptr) ShowAddress(control, dotted);
}

void QtSurface::ShowAddress(const Control& control, std::string_view dotted) {
  const auto fields = ParseDottedAddress(dotted);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    control.ip->fields[i]->setText(fields[i] ? QString::number(*fields[i]) : QString());
  }
}

// --- rich edit ---

void QtSurface::RichSetColor(int id, int start, int end, Rgb colour) {
  const Control& control = At(id);
  if (control.rich == nullptr || start < 0) return;
  QTextDocument* document = control.rich->document();
  const QString text = document->toPlainText();
  // Positions count characters; an end of -1 (or past the text) means the end of the text.
  const int length = CodePoints(text);
  if (end < 0 || end > length) end = length;
  if (start > end) std::swap(start, end);
  if (start == end) return;
  QTextCursor cursor(document);
  cursor.setPosition(Utf16Index(text, start));
  cursor.setPosition(Utf16Index(text, end), QTextCursor::KeepAnchor);
  QTextCharFormat format;
  format.setForeground(QColor(colour.r, colour.g, colour.b));
  cursor.mergeCharFormat(format);
}

void QtSurface::AppendLines(int id, std::string_view lines, int maxLines) {
  Control& control = At(id);
  if (control.rich == nullptr || lines.empty()) return;
  control.appended = true;
  QTextDocument* document = control.rich->document();
  // The document drops its first blocks past its limit, once per edit. Text ending in a line
  // feed ends with an empty block, which is no line.
  document->setMaximumBlockCount(std::max(maxLines, 0) + (lines.back() == '\n' ? 1 : 0));
  QTextCursor cursor(document);
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  // A log reads from the left, in the default colour, whatever the text before was given.
  if (cursor.block().length() == 1) cursor.setBlockFormat(QTextBlockFormat());
  cursor.insertText(ToQ(lines), QTextCharFormat());
  cursor.endEditBlock();
  QScrollBar* scroll = control.rich->verticalScrollBar();
  scroll->setValue(scroll->maximum());
}

// --- clipboard and file dialog ---

bool QtSurface::CopyToClipboard(std::string_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  const QString copied = ToQ(text);
  clipboard->setText(copied);
  return clipboard->text() == copied;
}

std::optional<std::filesystem::path> QtSurface::AskSaveFileName(std::string_view title,
                                                                std::string_view fileName,
                                                                std::string_view typeName,
                                                                std::string_view extension) {
  QFileDialog dialog(dialog_.get(), ToQ(title));
  // Qt's own dialog: the same on every desktop and platform plugin, offscreen included.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);  // asks before replacing a file
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString suffix = ToQ(extension);
  dialog.setNameFilter(QStringLiteral("%1 (*.%2)").arg(ToQ(typeName), suffix));
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile(ToQ(fileName));
  dialog.setFont(dialog_->font());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return Utf8Path(FromQ(chosen.first()));
}

// --- message box ---

MessageResult QtSurface::MessageBox(std::string_view text, std::string_view caption,
                                    MessageButtons buttons, MessageIcon icon) {
  if (messageBoxHook_) return messageBoxHook_(text, caption, buttons, icon);
  QMessageBox box(
      icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, ToQ(caption),
      ToQ(text),
      buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
      dialog_.get());
  box.setFont(dialog_->font());
  return box.exec() == QMessageBox::Cancel ? MessageResult::Cancel : MessageResult::Ok;
}

}  // namespace uhf
