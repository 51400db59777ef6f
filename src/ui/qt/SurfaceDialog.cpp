#include "ui/qt/SurfaceDialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace uhf {

void SurfaceDialog::accept() {
  if (!acceptHandler || acceptHandler()) QDialog::accept();
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
