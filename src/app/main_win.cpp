// The tool on Windows: the window on Win32 controls; everything else is the platform-free
// assembly (app/ToolAssembly.h). A driver library that cannot be bound is reported in a message
// box; the tool then does not start.
//   uhf-reader-tool.exe [--engineering] [--station [PROFILE]]
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/StationWindow.h"
#include "app/ToolAssembly.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/LibraryLoader.h"
#include "ui/win32/Win32Surface.h"

namespace {

class Win32Tool final : public uhf::ToolPlatform {
 public:
  explicit Win32Tool(uhf::WindowArguments arguments) : arguments_(std::move(arguments)) {}

  void ReportStartFailure(const std::string& error) override {
    const std::wstring text = uhf::Widen("Cannot start: " + error);
    MessageBoxW(nullptr, text.c_str(), uhf::Widen(uhf::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
  }

  void RunWindow(uhf::ReaderDriver& driver, const std::string& caption) override {
    const uhf::DialogView view =
        arguments_.engineering ? uhf::DialogView::Engineering : uhf::DialogView::Operator;
    // Built in the view it opens in: no control is made twice or moved before the first frame.
    uhf::Win32Surface surface(
        uhf::MainDialogTemplate(),
        std::set<int>(uhf::kHoverButtonIds.begin(), uhf::kHoverButtonIds.end()),
        uhf::ViewTemplate(view));
    uhf::WiredDialog dialog(surface, driver, uhf::SystemDialogPlatform(), view);
    SetWindowTextW(surface.Window(), uhf::Widen(caption).c_str());
    std::unique_ptr<uhf::StationWindow> station;
    if (arguments_.station) {
      uhf::StationWindow::Hooks hooks;
      dialog.HandOverToStation(hooks);
      station = uhf::StartStationWindow(surface, dialog.Dialog(), *arguments_.station,
                                        std::chrono::milliseconds(300), std::move(hooks),
                                        [&surface] { surface.EndDialog(); });
    }
    surface.RunModal();  // the dialog's result is not used
  }

 private:
  uhf::WindowArguments arguments_;
};

// The program's arguments as UTF-8, without the program's name (the runtime has split the
// command line already).
std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc && __wargv != nullptr; ++i)
    arguments.push_back(uhf::Narrow(__wargv[i]));
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  uhf::detail::RestrictDllSearch();
  std::string error;
  const auto arguments = uhf::ParseWindowArguments(Arguments(), error);
  if (!arguments) {
    MessageBoxW(nullptr, uhf::Widen(error).c_str(), uhf::Widen(uhf::kAppTitle).c_str(),
                MB_OK | MB_ICONERROR);
    return 2;
  }
  Win32Tool tool(*arguments);
  return uhf::RunTool(tool);
}
