// QtSurface: the widget factory. Builds the dialog and one widget per control template, placed
// by converting dialog units with the dialog font's base units, and reports user clicks.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTextEdit>

#include <algorithm>

#include "ui/qt/GroupFrameStyle.h"
#include "ui/qt/IpAddressWidget.h"
#include "ui/qt/QtSurface.h"
#include "ui/qt/QtSurfaceState.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportList.h"
#include "ui/qt/SurfaceDialog.h"
#include "ui/qt/TextLimitValidator.h"

namespace uhf {
namespace {

// A plain push button whose style option carries one palette object for all buttons of the same
// colours. The style keeps a button's drawn face under its palette's identity, and every button
// was given a palette of its own: buttons of one size and state now share one face instead of
// each drawing its own.
class PlainButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void initStyleOption(QStyleOptionButton* option) const override {
    QPushButton::initStyleOption(option);
    static QPalette shared;
    // The colour group follows this button's state (enabled, active window): kept as it is.
    const QPalette::ColorGroup group = option->palette.currentColorGroup();
    if (option->palette != shared) shared = option->palette;
    option->palette = shared;
    option->palette.setCurrentColorGroup(group);
  }
};

Qt::Alignment TextAlignment(std::uint32_t style) {
  if (style & kStyleCenter) return Qt::AlignHCenter;
  if (style & kStyleRight) return Qt::AlignRight;
  return Qt::AlignLeft;
}

}  // namespace

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
  built_ = tpl;
  unnamed_.assign(tpl.controls.size(), nullptr);
  for (std::size_t index = 0; index < tpl.controls.size(); ++index) {
    const ControlTemplate& control = tpl.controls[index];
    QWidget* widget = Create(index, control, makeButton);
    if (widget != nullptr && control.kind == ControlKind::GroupBox) groupBoxes.push_back(widget);
  }
  // Group boxes are frames drawn behind the controls placed over them.
  for (QWidget* group : groupBoxes) group->lower();
}

QWidget* QtSurface::Create(std::size_t index, const ControlTemplate& tpl,
                           const ButtonFactory& makeButton) {
  auto control = std::make_unique<Control>();
  control->kind = tpl.kind;
  control->text = tpl.text;
  const int id = tpl.id;
  if (!tpl.visible) {
    // The first frame does not show it: built after that frame, or when first used. Writes
    // until then are kept and applied to the new widget.
    if (id == kNoId) {
      Deferred build;
      build.id = kNoId;
      build.build = true;
      build.fill = [this, tpl, index] {
        Control unnamed;
        unnamed.kind = tpl.kind;
        unnamed.text = tpl.text;
        QWidget* widget = BuildWidget(unnamed, tpl, makeButton_);
        if (unnamed.rich != nullptr) unnamed.rich->setPlainText(ToDisplay(tpl.text));
        if (tpl.kind == ControlKind::GroupBox) widget->lower();
        unnamed_[index] = widget;
      };
      deferred_.push_back(std::move(build));  // the surface is being built: no frame yet
      return nullptr;
    }
    control->unbuilt = std::make_unique<ControlTemplate>(tpl);
    control->written = std::make_unique<WrittenControl>();
    controls_[id] = std::move(control);
    Deferred build;
    build.id = id;
    build.fill = [this, id] { BuildDeferred(id); };
    build.build = true;
    deferred_.push_back(std::move(build));  // the surface is being built: no frame yet
    return nullptr;
  }
  QWidget* widget = BuildWidget(*control, tpl, makeButton);
  if (id == kNoId) unnamed_[index] = widget;
  if (id != kNoId) {
    const bool isRich = control->rich != nullptr;
    controls_[id] = std::move(control);
    if (isRich) SetText(id, tpl.text);  // centred paragraphs from the start
  } else if (control->rich != nullptr) {
    control->rich->setPlainText(ToDisplay(tpl.text));
  }
  return widget;
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
  const QRect geometry = DialogUnitsToPixels(tpl.rect, baseUnits_);

  switch (tpl.kind) {
    case ControlKind::PushButton: {
      QPushButton* button = makeButton ? makeButton(id, parent) : nullptr;
      if (button == nullptr) button = new PlainButton(parent);
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
      control.combo = combo;
      control.widget = combo;
      break;
    }
    case ControlKind::ListView: {
      auto* list = new ReportList(parent);
      list->setFrameShape((tpl.style & kStyleBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
      list->onDoubleClick = [this, id] { Notify(id, Notification::DoubleClicked); };
      list->onSelectionChanged = [this, id] { Notify(id, Notification::SelectionChanged); };
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
  Place(widget, geometry);
  widget->setEnabled(tpl.enabled);
  if (!tpl.visible) widget->setVisible(false);  // explicitly hidden: showing the dialog skips it
  if (id != kNoId) widget->setObjectName(QString::number(id));
  return widget;
}

void QtSurface::Place(QWidget* widget, QRect geometry) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    // The template height is the height of the dropped-down list; the closed field takes the
    // height the font needs.
    const int fieldHeight = std::min(combo->sizeHint().height(), geometry.height());
    const int itemHeight = std::max(1, QFontMetrics(combo->font()).height());
    combo->setMaxVisibleItems(std::max(1, (geometry.height() - fieldHeight) / itemHeight));
    geometry.setHeight(fieldHeight);
  }
  widget->setGeometry(geometry);
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

}  // namespace uhf
