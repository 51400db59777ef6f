#pragma once
// The window. Escape rejects (the dialog's cancel command). Enter clicks the push button that
// has the focus; anywhere else it is the accept command: the accept handler decides whether the
// dialog ends. Push buttons are never Qt "auto default" buttons, so showing the dialog does not
// make one of them catch every Enter.

#include <QDialog>

#include <functional>

namespace uhf {

class SurfaceDialog : public QDialog {
 public:
  std::function<bool()> acceptHandler;
  // Escape or the window's close box ends the dialog only when this returns true (or is unset).
  std::function<bool()> closeHandler;
  // Called once, after the first frame has been painted and flushed.
  std::function<void()> onFirstFrame;

  void accept() override;
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace uhf
