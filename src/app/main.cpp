// The application: binds the driver library, builds the window, runs the main dialog modally and
// ends when it closes.

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/ToolWindow.h"
#include "driver/LibraryDriver.h"
#include "driver/LoggingDriver.h"
#include "files/FileLock.h"
#include "ui/DialogTemplate.h"

namespace {

bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Says why the tool cannot start: on stderr, and in a message box for a start from the desktop,
// which has no terminal. A platform without a screen (offscreen, minimal) gets no box: nobody
// could close it.
void ReportStartFailure(const std::string& text) {
  std::fprintf(stderr, "Cannot start: %s\n", text.c_str());
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return;
  QMessageBox box(QMessageBox::Critical,
                  QString::fromUtf8(uhf::kAppTitle.data(), static_cast<int>(uhf::kAppTitle.size())),
                  QString::fromStdString(text), QMessageBox::Ok);
  box.exec();
}

class ReaderToolApp {
 public:
  int Run(int argc, char** argv) {
    if (!HasDisplay()) {
      std::fprintf(stderr,
                   "No display found: run the tool in a desktop session, or here under a "
                   "virtual display with: xvfb-run -a %s\n",
                   argv[0]);
      return 2;
    }
    QApplication app(argc, argv);

    // The library the search finds first, or, when it finds none, the simulated reader beside
    // the program (the search ends there); any library that fails to load stops the tool.
    std::string error;
    std::unique_ptr<uhf::LibraryDriver> driver =
        uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
    if (!driver) {
      ReportStartFailure(error);
      return 1;
    }
    // UHF_EXCHANGE_LOG=FILE: every driver call is appended to FILE.
    const char* logFile = std::getenv("UHF_EXCHANGE_LOG");
    std::unique_ptr<uhf::ReaderDriver> logged;
    if (logFile != nullptr && *logFile != '\0') {
      logged = std::make_unique<uhf::LoggingDriver>(*driver, [logFile](std::string_view line) {
        std::string ignored;  // a log that cannot be written must not stop the tool
        uhf::AppendLineLocked(logFile, line, ignored);
      });
    }
    uhf::ToolWindow window(logged ? *logged : *driver);
    if (driver->Simulated()) window.MarkSimulatedReader();
    window.Window()->exec();  // the dialog's result is not used
    return 0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  return ReaderToolApp().Run(argc, argv);
}
