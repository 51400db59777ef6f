#include "ui/qt/QtSurface.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "text/DottedAddress.h"
#include "text/Utf8.h"
#include "ui/HoverColours.h"
#include "ui/qt/GroupFrameStyle.h"
#include "ui/qt/IpAddressWidget.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportList.h"
#include "ui/qt/SurfaceDialog.h"
#include "ui/qt/TextLimitValidator.h"

namespace uhf {
namespace {

Qt::Alignment TextAlignment(std::uint32_t style) {
  if (style & kStyleCenter) return Qt::AlignHCenter;
  if (style & kStyleRight) return Qt::AlignRight;
  return Qt::AlignLeft;
}

}  // namespace

struct QtSurface::Control {
  ControlKind kind = ControlKind::Static;
  QWidget* widget = nullptr;  // owned by the dialog
  std::string text;           // caption last set (everything but edits, lists and IP controls)
  // Kind-specific views of `widget`
  QLabel* label = nullptr;
  QGroupBox* group = nullptr;
  QAbstractButton* button = nullptr;
  QLineEdit* edit = nullptr;
  TextLimitValidator* limiter = nullptr;
  QComboBox* combo = nullptr;
  ReportList* list = nullptr;
  std::uint32_t listStyle = 0;
  IpAddressWidget* ip = nullptr;
  QTextEdit* rich = nullptr;
  // A hidden control whose widget is built after the first frame: its template until then, and
  // what was written to it before it existed.
  std::unique_ptr<ControlTemplate> unbuilt;
  std::unique_ptr<Written> written;
};

// Writes to a control whose widget is not built yet, applied when it is.
struct QtSurface::Written {
  std::optional<std::string> text;  // caption, edit text or dotted address
  std::optional<bool> checked;
  std::optional<bool> enabled;
  std::optional<int> limit;
  std::optional<FontSpec> font;
  std::vector<std::string> items;  // drop-down list
  int selected = -1;
  std::vector<std::pair<std::string, int>> columns;  // list view: heading, width
};

// Work deferred until after the first frame: a fill on the window's thread, or a background
// find whose result a fill puts into the control.
struct QtSurface::Deferred {
  int id = kNoId;
  std::function<void()> fill;
  std::function<std::string()> find;
  std::function<void(const std::string&)> fillFound;
  std::shared_ptr<BackgroundResult> result;  // once the find runs on its worker
  bool build = false;                        // builds the widget of control `id`
};

struct QtSurface::BackgroundResult {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::string value;
};

// The window's object for a worker to queue calls to, cleared before the window goes.
struct QtSurface::Mailbox {
  std::mutex mutex;
  QObject* receiver = nullptr;
};

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

void QtSurface::FillAfterFirstFrame(int id, std::function<void()> fill) {
  if (firstFramePassed_) return fill();
  Deferred deferred;
  deferred.id = id;
  deferred.fill = std::move(fill);
  deferred_.push_back(std::move(deferred));
}

void QtSurface::FillInBackground(int id, std::function<std::string()> find,
                                 std::function<void(const std::string&)> fill) {
  Deferred deferred;
  deferred.id = id;
  deferred.find = std::move(find);
  deferred.fillFound = std::move(fill);
  deferred_.push_back(std::move(deferred));
  if (firstFramePassed_) StartBackground(deferred_.back());
}

void QtSurface::OnFirstFrame() {
  firstFramePassed_ = true;
  // Workers first, so that a slow find overlaps the fills below.
  for (Deferred& deferred : deferred_) {
    if (deferred.find && !deferred.result) StartBackground(deferred);
  }
  std::vector<Deferred> fills;
  std::vector<Deferred> waiting;
  for (Deferred& deferred : deferred_) {
    (deferred.fill ? fills : waiting).push_back(std::move(deferred));
  }
  deferred_ = std::move(waiting);
  for (Deferred& deferred : fills) deferred.fill();
}

void QtSurface::StartBackground(Deferred& deferred) {
  auto result = std::make_shared<BackgroundResult>();
  deferred.result = result;
  std::thread([find = deferred.find, result, mailbox = mailbox_, this] {
    std::string value;
    try {
      value = find();
    } catch (const std::exception&) {
      value.clear();  // nothing found
    }
    {
      std::lock_guard<std::mutex> lock(result->mutex);
      result->value = std::move(value);
      result->finished = true;
    }
    result->done.notify_all();
    std::lock_guard<std::mutex> lock(mailbox->mutex);
    if (mailbox->receiver != nullptr) {
      QMetaObject::invokeMethod(
          mailbox->receiver, [this, result] { CompleteBackground(result); }, Qt::QueuedConnection);
    }
  }).detach();
}

void QtSurface::CompleteBackground(const std::shared_ptr<BackgroundResult>& result) {
  const auto it = std::find_if(deferred_.begin(), deferred_.end(),
                               [&](const Deferred& deferred) { return deferred.result == result; });
  if (it == deferred_.end()) return;  // already used, and filled then
  Deferred deferred = std::move(*it);
  deferred_.erase(it);
  deferred.fillFound(result->value);
}

void QtSurface::ResolveDeferred(int id) {
  for (;;) {
    const auto it = std::find_if(deferred_.begin(), deferred_.end(),
                                 [id](const Deferred& deferred) { return deferred.id == id; });
    if (it == deferred_.end()) return;
    // Out of the list before it runs: the fill itself uses the control.
    Deferred deferred = std::move(*it);
    deferred_.erase(it);
    if (deferred.fill) {
      deferred.fill();
      continue;
    }
    std::string value;
    if (deferred.result) {
      std::unique_lock<std::mutex> lock(deferred.result->mutex);
      deferred.result->done.wait(lock, [&] { return deferred.result->finished; });
      value = deferred.result->value;
    } else {
      try {
        value = deferred.find();  // the window never showed: find it here
      } catch (const std::exception&) {
        value.clear();
      }
    }
    deferred.fillFound(value);
  }
}

void QtSurface::Build(const DialogTemplate& tpl, const ButtonFactory& makeButton) {
  SurfaceDialog& dialog = *dialog_;
  dialog.setWindowTitle(ToQ(tpl.caption));
  // Caption, system menu and minimize box; no maximize box. A window of its own, with a task-bar
  // entry, not a transient dialog.
  dialog.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
  dialog.setSizeGripEnabled(false);
  // The small icon now; the larger sizes (title bars, task switchers) after the first frame.
  dialog.setWindowIcon(ApplicationIcon(16));
  FillAfterFirstFrame(kNoId, [this] { dialog_->setWindowIcon(ApplicationIcon()); });
  dialog.setFont(MakeDialogFont(tpl.fontFace, tpl.fontPoints));
  baseUnits_ = BaseUnitsOf(dialog.font());
  dialog.setFixedSize(DialogUnitsToPixels({0, 0, tpl.widthDu, tpl.heightDu}, baseUnits_).size());

  makeButton_ = makeButton;
  std::vector<QWidget*> groupBoxes;
  for (const ControlTemplate& control : tpl.controls) {
    QWidget* widget = Create(control, makeButton);
    if (widget != nullptr && control.kind == ControlKind::GroupBox) groupBoxes.push_back(widget);
  }
  // Group boxes are frames drawn behind the controls placed over them.
  for (QWidget* group : groupBoxes) group->lower();
}

QWidget* QtSurface::Create(const ControlTemplate& tpl, const ButtonFactory& makeButton) {
  auto control = std::make_unique<Control>();
  control->kind = tpl.kind;
  control->text = tpl.text;
  const int id = tpl.id;
  if (!tpl.visible) {
    // The first frame does not show it: built after that frame, or when first used. Writes
    // until then are kept and applied to the new widget.
    if (id == kNoId) {
      FillAfterFirstFrame(kNoId, [this, tpl] {
        Control unnamed;
        unnamed.kind = tpl.kind;
        unnamed.text = tpl.text;
        QWidget* widget = BuildWidget(unnamed, tpl, makeButton_);
        if (unnamed.rich != nullptr) unnamed.rich->setPlainText(ToDisplay(tpl.text));
        if (tpl.kind == ControlKind::GroupBox) widget->lower();
      });
      return nullptr;
    }
    control->unbuilt = std::make_unique<ControlTemplate>(tpl);
    control->written = std::make_unique<Written>();
    controls_[id] = std::move(control);
    Deferred build;
    build.id = id;
    build.fill = [this, id] { BuildDeferred(id); };
    build.build = true;
    deferred_.push_back(std::move(build));  // the surface is being built: no frame yet
    return nullptr;
  }
  QWidget* widget = BuildWidget(*control, tpl, makeButton);
  if (id != kNoId) {
    const bool isRich = control->rich != nullptr;
    controls_[id] = std::move(control);
    if (isRich) SetText(id, tpl.text);  // centred paragraphs from the start
  } else if (control->rich != nullptr) {
    control->rich->setPlainText(ToDisplay(tpl.text));
  }
  return widget;
}

void QtSurface::BuildDeferred(int id) {
  Control& control = *controls_.at(id);
  const std::unique_ptr<ControlTemplate> tpl = std::move(control.unbuilt);
  const std::unique_ptr<Written> written = std::move(control.written);
  if (!tpl) return;
  // Writing to the new widget must not wait for other work deferred for it (a lookup).
  const int outer = std::exchange(building_, id);
  QWidget* widget = BuildWidget(control, *tpl, makeButton_);
  if (control.rich != nullptr) SetText(id, tpl->text);
  if (tpl->kind == ControlKind::GroupBox) widget->lower();

  // What was written before, in an order that gives the same result as writing it then.
  if (written->font) SetFont(id, *written->font);
  if (written->enabled) Enable(id, *written->enabled);
  if (written->limit) LimitText(id, *written->limit);
  if (written->checked) SetCheck(id, *written->checked ? 1 : 0);
  if (written->text) {
    if (control.edit != nullptr) {
      control.edit->setText(ToQ(*written->text));  // notified when it was written
    } else {
      SetText(id, *written->text);
    }
  }
  for (const std::string& item : written->items) ComboAdd(id, item);
  if (written->selected >= 0) ComboSetSel(id, written->selected);
  if (control.list != nullptr) ApplyListStyle(control);
  for (const auto& [heading, width] : written->columns) {
    ListInsertColumn(id, ListColumnCount(id), heading, width);
  }
  building_ = outer;
}

std::string QtSurface::WrittenText(const Control& control) {
  const Written& written = *control.written;
  switch (control.kind) {
    case ControlKind::Edit:
      return written.text ? *written.text : control.unbuilt->text;
    case ControlKind::ComboBox:
      return written.selected >= 0 ? written.items[static_cast<std::size_t>(written.selected)]
                                   : std::string();
    case ControlKind::IpAddress: {
      // As the four fields would read back: blank only when every field is.
      const auto fields = ParseDottedAddress(written.text ? *written.text : std::string());
      if (std::none_of(fields.begin(), fields.end(), [](const auto& f) { return f.has_value(); })) {
        return {};
      }
      std::array<std::uint8_t, 4> shown{};
      for (std::size_t i = 0; i < fields.size(); ++i) shown[i] = fields[i].value_or(0);
      return DottedAddressText(shown);
    }
    case ControlKind::ListView:
      return {};
    default:
      return control.text;
  }
}

QtSurface::Control* QtSurface::Unbuilt(int id) {
  const auto it = controls_.find(id);
  return it != controls_.end() && it->second->unbuilt ? it->second.get() : nullptr;
}

// Group boxes draw with the application style, through GroupFrameStyle when that style is
// Fusion; nullptr when there is nothing to change.
QStyle* QtSurface::GroupStyle() {
  if (!groupStyle_ &&
      QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0) {
    groupStyle_ = std::make_unique<GroupFrameStyle>();
  }
  return groupStyle_.get();
}

QWidget* QtSurface::BuildWidget(Control& control, const ControlTemplate& tpl,
                                const ButtonFactory& makeButton) {
  QDialog* parent = dialog_.get();
  const int id = tpl.id;
  QRect geometry = DialogUnitsToPixels(tpl.rect, baseUnits_);

  switch (tpl.kind) {
    case ControlKind::PushButton: {
      QPushButton* button = makeButton ? makeButton(id, parent) : nullptr;
      if (button == nullptr) button = new QPushButton(parent);
      if (button->parentWidget() != parent) button->setParent(parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      button->setText(ToDisplay(tpl.text));
      QPalette palette = button->palette();
      palette.setBrush(QPalette::Button, pushButtonBrush_);
      palette.setBrush(QPalette::Window, pushButtonBrush_);
      button->setPalette(palette);
      button->setAutoFillBackground(true);
      ReportClicks(button, id);
      control.button = button;
      control.widget = button;
      break;
    }
    case ControlKind::RadioButton:
    case ControlKind::CheckBox: {
      QAbstractButton* button = tpl.kind == ControlKind::RadioButton
                                    ? static_cast<QAbstractButton*>(new QRadioButton(parent))
                                    : new QCheckBox(parent);
      // Setting a check from code never touches the other radios; only a click does, for the
      // radios of the same group.
      button->setAutoExclusive(false);
      button->setText(ToDisplay(tpl.text));
      ReportClicks(button, id);
      control.button = button;
      control.widget = button;
      break;
    }
    case ControlKind::GroupBox: {
      auto* group = new QGroupBox(ToDisplay(tpl.text), parent);
      if (QStyle* style = GroupStyle()) group->setStyle(style);
      group->setFocusPolicy(Qt::NoFocus);
      control.group = group;
      control.widget = group;
      break;
    }
    case ControlKind::Static:
    case ControlKind::Picture: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(TextAlignment(tpl.style) | Qt::AlignTop);
      if (tpl.kind == ControlKind::Picture) {
        // A hidden picture is decoded after the first frame, which never shows it.
        const auto fill = [label] {
          label->setPixmap(EmbeddedPicture(QStringLiteral("banner.png")));
        };
        if (tpl.visible) {
          fill();
        } else {
          FillAfterFirstFrame(id, fill);
        }
      } else {
        label->setWordWrap((tpl.style & kStyleMultiline) != 0);
        label->setText(ToDisplay(tpl.text));
      }
      control.label = label;
      control.widget = label;
      break;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(parent);
      edit->setAlignment(TextAlignment(tpl.style) | Qt::AlignVCenter);
      edit->setFrame((tpl.style & kStyleBorder) != 0);
      edit->setReadOnly((tpl.style & kStyleReadOnly) != 0);
      edit->setText(ToQ(tpl.text));
      auto* limiter = new TextLimitValidator(edit);
      limiter->SetCurrentLength(CodePoints(edit->text()));
      edit->setValidator(limiter);
      QObject::connect(edit, &QLineEdit::textChanged, limiter, [limiter](const QString& text) {
        limiter->SetCurrentLength(CodePoints(text));
      });
      if (id != kNoId) {
        QObject::connect(edit, &QLineEdit::textEdited, parent,
                         [this, id] { Notify(id, Notification::EditChanged); });
      }
      control.edit = edit;
      control.limiter = limiter;
      control.widget = edit;
      break;
    }
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(false);
      // The template height is the height of the dropped-down list; the closed field takes the
      // height the font needs.
      const int fieldHeight = std::min(combo->sizeHint().height(), geometry.height());
      const int itemHeight = std::max(1, QFontMetrics(combo->font()).height());
      combo->setMaxVisibleItems(std::max(1, (geometry.height() - fieldHeight) / itemHeight));
      geometry.setHeight(fieldHeight);
      control.combo = combo;
      control.widget = combo;
      break;
    }
    case ControlKind::ListView: {
      auto* list = new ReportList(parent);
      list->setFrameShape((tpl.style & kStyleBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
      list->onDoubleClick = [this, id] { Notify(id, Notification::DoubleClicked); };
      control.list = list;
      control.widget = list;
      break;
    }
    case ControlKind::IpAddress: {
      auto* ip = new IpAddressWidget(parent);
      control.ip = ip;
      control.widget = ip;
      break;
    }
    case ControlKind::RichEdit: {
      auto* rich = new QTextEdit(parent);
      rich->setReadOnly((tpl.style & kStyleReadOnly) != 0);
      rich->setAcceptRichText(false);
      rich->setFrameShape((tpl.style & kStyleBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
      rich->setLineWrapMode((tpl.style & kStyleMultiline) ? QTextEdit::WidgetWidth
                                                          : QTextEdit::NoWrap);
      rich->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      rich->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      control.rich = rich;
      control.widget = rich;
      break;
    }
  }

  QWidget* widget = control.widget;
  widget->setGeometry(geometry);
  widget->setEnabled(tpl.enabled);
  if (!tpl.visible) widget->setVisible(false);  // explicitly hidden: showing the dialog skips it
  if (id != kNoId) widget->setObjectName(QString::number(id));
  return widget;
}

void QtSurface::ReportClicks(QAbstractButton* button, int id) {
  if (id == kNoId) return;
  QObject::connect(button, &QAbstractButton::clicked, dialog_.get(),
                   [this, id] { OnUserClick(id); });
}

void QtSurface::OnUserClick(int id) {
  At(id);  // what is still deferred for the control runs first
  // An automatic radio: a click always checks it and clears the others of its group, built or
  // not.
  radios_.Click(id, [this](int radio, bool checked) {
    Control& control = *controls_.at(radio);
    if (control.written) {
      control.written->checked = checked;
    } else {
      control.button->setChecked(checked);
    }
  });
  Notify(id, Notification::Clicked);
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

QDialog* QtSurface::Window() const {
  return dialog_.get();
}

QWidget* QtSurface::Widget(int id) const {
  if (!deferred_.empty() && id != kNoId) const_cast<QtSurface*>(this)->ResolveDeferred(id);
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second->widget;
}

void QtSurface::SetAcceptHandler(std::function<bool()> handler) {
  dialog_->acceptHandler = std::move(handler);
}

// --- any control ---

void QtSurface::SetText(int id, std::string_view text) {
  if (Control* unbuilt = Unbuilt(id)) {
    switch (unbuilt->kind) {
      case ControlKind::ComboBox:
      case ControlKind::ListView:
        return;  // as below: nothing to show
      case ControlKind::Edit:
        unbuilt->written->text = std::string(text);
        Notify(id, Notification::EditChanged);
        return;
      case ControlKind::IpAddress:
        unbuilt->written->text = std::string(text);
        return;
      default:
        unbuilt->written->text = std::string(text);
        unbuilt->text = std::string(text);
        return;
    }
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

std::string QtSurface::GetText(int id) const {
  const Control* unbuilt = const_cast<QtSurface*>(this)->Unbuilt(id);
  const bool onlyBuildPending =
      std::none_of(deferred_.begin(), deferred_.end(),
                   [id](const Deferred& deferred) { return deferred.id == id && !deferred.build; });
  if (unbuilt != nullptr && onlyBuildPending) {
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
  At(id).widget->setEnabled(enabled);
}

bool QtSurface::IsEnabled(int id) const {
  return At(id).widget->isEnabledTo(dialog_.get());
}

bool QtSurface::IsVisible(int id) const {
  return At(id).widget->isVisibleTo(dialog_.get());
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
  if (list != nullptr) list->setRowCount(0);
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
