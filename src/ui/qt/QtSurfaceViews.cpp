// QtSurface: views (the same widgets arranged by another template) and the window's own
// commands (a shortcut and an entry in the window's context menu; a desktop's window menu
// belongs to its window manager).
#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>

#include <algorithm>
#include <utility>

#include "ui/ViewLayout.h"
#include "ui/qt/QtSurface.h"
#include "ui/qt/QtSurfaceState.h"
#include "ui/qt/QtText.h"
#include "ui/qt/SurfaceDialog.h"

namespace uhf {

void QtSurface::BuildAllDeferred() {
  std::vector<Deferred> builds;
  std::vector<Deferred> rest;
  for (Deferred& deferred : deferred_) {
    (deferred.build ? builds : rest).push_back(std::move(deferred));
  }
  deferred_ = std::move(rest);
  for (Deferred& deferred : builds) deferred.fill();
}

void QtSurface::ApplyLayout(const DialogTemplate& layout) {
  const std::vector<std::size_t> match = MatchLayout(built_, layout);
  // Every widget exists before it is placed; what else waits for the first frame still waits.
  BuildAllDeferred();
  QWidget* previous = nullptr;
  for (std::size_t i = 0; i < match.size(); ++i) {
    const ControlTemplate& tpl = layout.controls[i];
    QWidget* widget = tpl.id == kNoId ? unnamed_[match[i]] : controls_.at(tpl.id)->widget;
    Place(widget, DialogUnitsToPixels(tpl.rect, baseUnits_));
    widget->setVisible(tpl.visible);
    if (tpl.id == kNoId) widget->setEnabled(tpl.enabled);
    if (widget->focusPolicy() & Qt::TabFocus) {
      if (previous != nullptr) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
  }
  QDialog& window = *dialog_;
  window.setFixedSize(
      DialogUnitsToPixels({0, 0, layout.widthDu, layout.heightDu}, baseUnits_).size());
  // Kept on its monitor: moved back inside the available area when the new size crosses it.
  if (window.isVisible()) {
    QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      const QRect area = screen->availableGeometry();
      const QRect frame = window.frameGeometry();
      const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
      const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
      if (x != frame.left() || y != frame.top()) window.move(x, y);
    }
  }
}

void QtSurface::AddWindowCommand(std::string_view text, char key, std::function<void()> run) {
  auto* action = new QAction(ToDisplay(text), dialog_.get());
  action->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key(key))));
  action->setShortcutContext(Qt::WindowShortcut);
  action->setCheckable(true);
  QObject::connect(action, &QAction::triggered, dialog_.get(), [run = std::move(run)] { run(); });
  dialog_->addAction(action);
  dialog_->setContextMenuPolicy(Qt::ActionsContextMenu);
  commands_[key] = action;
}

void QtSurface::CheckWindowCommand(char key, bool checked) {
  const auto it = commands_.find(key);
  if (it != commands_.end()) it->second->setChecked(checked);
}

}  // namespace uhf
