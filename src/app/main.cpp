// The application: binds the driver library, builds the window, runs the main dialog modally and
// ends when it closes.

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/ToolWindow.h"
#include "driver/LibraryDriver.h"
#include "driver/LoggingDriver.h"
#include "files/FileLock.h"

namespace {

bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
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

    std::string error;
    std::unique_ptr<uhf::LibraryDriver> driver =
        uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
    if (!driver) {
      std::fprintf(stderr, "Cannot start: %s\n", error.c_str());
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
    window.Window()->exec();  // the dialog's result is not used
    return 0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  return ReaderToolApp().Run(argc, argv);
}
