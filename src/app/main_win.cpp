// The application on Windows: binds tagvane.dll, builds the window on Win32 controls, runs the
// main dialog modally and ends when it closes. A driver library that cannot be bound is reported
// in a message box; the tool then does not start.
#include <memory>
#include <set>
#include <string>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/LibraryDriver.h"
#include "ui/win32/Win32Surface.h"

namespace {

// The six command buttons are hover buttons; every other push button is a plain one.
const std::set<int> kHoverButtons = {uhf::idc::Connect,        uhf::idc::Disconnect,
                                     uhf::idc::FactoryDefault, uhf::idc::ReadTag,
                                     uhf::idc::SaveChanges,    uhf::idc::ReadConfig};

class ReaderToolApp {
 public:
  int Run() {
    std::string error;
    std::unique_ptr<uhf::LibraryDriver> driver =
        uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
    if (!driver) {
      const std::wstring text = uhf::Widen("Cannot start: " + error);
      MessageBoxW(nullptr, text.c_str(), uhf::Widen(uhf::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
      return 1;
    }
    uhf::Win32Surface surface(uhf::MainDialogTemplate(), kHoverButtons);
    uhf::ReaderConfigDialog dialog(surface, *driver);
    surface.SetNotificationHandler(
        [&dialog](int id, uhf::Notification notification) { dialog.OnCommand(id, notification); });
    surface.SetAcceptHandler([&dialog] { return dialog.OnOK(); });
    dialog.OnInitDialog();
    if (driver->Simulated()) {
      const std::wstring caption =
          uhf::Widen(std::string(uhf::kAppTitle) + std::string(uhf::kSimulatedCaptionSuffix));
      SetWindowTextW(surface.Window(), caption.c_str());
    }
    surface.RunModal();  // the dialog's result is not used
    return 0;
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return ReaderToolApp().Run();
}
