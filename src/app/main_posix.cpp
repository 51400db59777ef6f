// The tool on Qt (Linux): the window on Qt widgets; everything else is the platform-free
// assembly (app/ToolAssembly.h).
//   uhf-reader-tool [--engineering] [--station [PROFILE]]

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/StationWindow.h"
#include "app/ToolAssembly.h"
#include "app/ToolWindow.h"
#include "dialog/MainDialogTemplate.h"

namespace {

bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// The window on Qt widgets, in station mode when asked for.
class QtTool final : public uhf::ToolPlatform {
 public:
  explicit QtTool(uhf::WindowArguments arguments) : arguments_(std::move(arguments)) {}

  void ReportStartFailure(const std::string& error) override {
    std::fprintf(stderr, "Cannot start: %s\n", error.c_str());
    // A start from the desktop has no terminal: a message box says it too. A platform without a
    // screen (offscreen, minimal) gets no box: nobody could close it.
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") return;
    QMessageBox box(
        QMessageBox::Critical,
        QString::fromUtf8(uhf::kAppTitle.data(), static_cast<int>(uhf::kAppTitle.size())),
        QString::fromStdString(error), QMessageBox::Ok);
    box.exec();
  }

  void RunWindow(uhf::ReaderDriver& driver, const std::string& caption) override {
    uhf::ToolWindow window(
        driver, uhf::SystemDialogPlatform(),
        arguments_.engineering ? uhf::DialogView::Engineering : uhf::DialogView::Operator);
    window.SetCaption(caption);
    if (arguments_.station) window.StartStation(*arguments_.station);
    window.Window()->exec();  // the dialog's result is not used
  }

 private:
  uhf::WindowArguments arguments_;
};

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "No display found: run the tool in a desktop session, or here under a virtual "
                 "display with: xvfb-run -a %s\n",
                 argv[0]);
    return 2;
  }
  std::string error;
  const auto arguments =
      uhf::ParseWindowArguments(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!arguments) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  QApplication app(argc, argv);
  QtTool tool(*arguments);
  return uhf::RunTool(tool);
}
