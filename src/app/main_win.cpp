// The tool on Windows: the window on Win32 controls; everything else is the platform-free
// assembly (app/ToolAssembly.h). A driver library that cannot be bound is reported in a message
// box; the tool then does not start.
#include <set>
#include <string>

#include "app/ToolAssembly.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/LibraryLoader.h"
#include "ui/win32/Win32Surface.h"

namespace {

class Win32Tool final : public uhf::ToolPlatform {
 public:
  void ReportStartFailure(const std::string& error) override {
    const std::wstring text = uhf::Widen("Cannot start: " + error);
    MessageBoxW(nullptr, text.c_str(), uhf::Widen(uhf::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
  }

  void RunWindow(uhf::ReaderDriver& driver, const std::string& caption) override {
    uhf::Win32Surface surface(uhf::MainDialogTemplate(), std::set<int>(uhf::kHoverButtonIds.begin(),
                                                                       uhf::kHoverButtonIds.end()));
    uhf::WiredDialog dialog(surface, driver);
    SetWindowTextW(surface.Window(), uhf::Widen(caption).c_str());
    surface.RunModal();  // the dialog's result is not used
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  uhf::detail::RestrictDllSearch();
  Win32Tool tool;
  return uhf::RunTool(tool);
}
