#include "ui/qt/SurfaceDialog.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace uhf {

void SurfaceDialog::accept() {
  if (!acceptHandler || acceptHandler()) QDialog::accept();
}

void SurfaceDialog::reject() {
  if (!closeHandler || closeHandler()) QDialog::reject();
}

bool SurfaceDialog::event(QEvent* event) {
  if (event->type() == QEvent::Paint && onFirstFrame) {
    // The window and its children are painted and flushed in one pass; a call queued from the
    // first paint runs after that flush.
    QTimer::singleShot(0, this, std::exchange(onFirstFrame, nullptr));
  }
  return QDialog::event(event);
}

void SurfaceDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = event->modifiers() == Qt::NoModifier ||
                     (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  if (enter && plain) {
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button != nullptr && button->isEnabled() && button->isVisible()) {
      button->click();
    } else {
      accept();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace uhf
