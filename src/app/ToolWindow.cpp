#include "app/ToolWindow.h"

#include "ui/qt/HoverButton.h"

namespace uhf {
namespace {

QPushButton* MakeButton(int id, QWidget* parent) {
  return IsHoverButton(id) ? new HoverButton(parent) : nullptr;
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ToolWindow::ToolWindow(ReaderDriver& driver, DialogPlatform platform, DialogView view)
    : surface_(MainDialogTemplate(), &MakeButton),
      dialog_(surface_, driver, std::move(platform), view) {}

void ToolWindow::SetCaption(std::string_view caption) {
  Window()->setWindowTitle(FromUtf8(caption));
}

void ToolWindow::MarkSimulatedReader() {
  QDialog* window = Window();
  const QString suffix = FromUtf8(kSimulatedCaptionSuffix);
  if (!window->windowTitle().endsWith(suffix))
    window->setWindowTitle(window->windowTitle() + suffix);
}

void ToolWindow::StartStation(StationTask task, std::chrono::milliseconds poll,
                              StationWindow::Hooks hooks) {
  dialog_.HandOverToStation(hooks);
  station_ = StartStationWindow(surface_, Dialog(), std::move(task), poll, std::move(hooks),
                                [this] { Window()->done(QDialog::Rejected); });
}

}  // namespace uhf
