#include "app/ToolWindow.h"

#include "dialog/ControlIds.h"
#include "ui/qt/HoverButton.h"

namespace uhf {
namespace {

// The six command buttons are hover buttons; every other push button is a plain one.
QPushButton* MakeButton(int id, QWidget* parent) {
  switch (id) {
    case idc::Connect:
    case idc::Disconnect:
    case idc::FactoryDefault:
    case idc::ReadTag:
    case idc::SaveChanges:
    case idc::ReadConfig:
      return new HoverButton(parent);
    default:
      return nullptr;
  }
}

}  // namespace

ToolWindow::ToolWindow(ReaderDriver& driver, DialogPlatform platform)
    : surface_(MainDialogTemplate(), &MakeButton), dialog_(surface_, driver, std::move(platform)) {
  surface_.SetNotificationHandler(
      [this](int id, Notification notification) { dialog_.OnCommand(id, notification); });
  surface_.SetAcceptHandler([this] { return dialog_.OnOK(); });
  dialog_.OnInitDialog();
}

void ToolWindow::MarkSimulatedReader() {
  QDialog* window = Window();
  const QString suffix = QString::fromUtf8(kSimulatedCaptionSuffix.data(),
                                           static_cast<qsizetype>(kSimulatedCaptionSuffix.size()));
  if (!window->windowTitle().endsWith(suffix))
    window->setWindowTitle(window->windowTitle() + suffix);
}

}  // namespace uhf
