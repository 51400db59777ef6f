#include "app/ToolAssembly.h"

#include <algorithm>
#include <utility>

#include "dialog/MainDialogTemplate.h"
#include "driver/LoggingDriver.h"
#include "files/FileLock.h"
#include "text/EnvironmentPath.h"

namespace uhf {

bool IsHoverButton(int id) {
  return std::find(kHoverButtonIds.begin(), kHoverButtonIds.end(), id) != kHoverButtonIds.end();
}

std::string ToolCaption(bool simulatedReader) {
  std::string caption(kAppTitle);
  if (simulatedReader) caption += kSimulatedCaptionSuffix;
  return caption;
}

std::unique_ptr<ToolDriver> ToolDriver::Bind(std::string_view library,
                                             const std::filesystem::path& exchangeLog,
                                             std::string& error) {
  std::unique_ptr<LibraryDriver> bound = LibraryDriver::Load(library, error);
  if (!bound) return nullptr;
  std::unique_ptr<ToolDriver> driver(new ToolDriver(std::move(bound)));
  if (!exchangeLog.empty()) {
    driver->logged_ = std::make_unique<LoggingDriver>(
        *driver->library_, [file = exchangeLog](std::string_view line) {
          std::string ignored;  // a log that cannot be written must not stop the tool
          AppendLineLocked(file, line, ignored);
        });
  }
  return driver;
}

std::unique_ptr<ToolDriver> ToolDriver::BindFromEnvironment(std::string& error) {
  return Bind(LibraryDriver::PlatformLibraryName(), EnvironmentPath("UHF_EXCHANGE_LOG"), error);
}

int RunTool(ToolPlatform& platform) {
  // The library the search finds first, or, when it finds none, the simulated reader beside the
  // program (the search ends there); any library that fails to load stops the tool.
  std::string error;
  std::unique_ptr<ToolDriver> driver = ToolDriver::BindFromEnvironment(error);
  if (!driver) {
    platform.ReportStartFailure(error);
    return 1;
  }
  platform.RunWindow(driver->Driver(), ToolCaption(driver->Simulated()));
  return 0;
}

}  // namespace uhf
