#pragma once
// The tool assembled once, whatever the platform: the driver as the tool binds it, the window's
// caption, which buttons are hover buttons, and the main dialog wired to its surface. A
// platform's main supplies only its window and its way of reporting a failed start
// (ToolPlatform) and calls RunTool.

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/DialogViews.h"
#include "app/EngineeringPanel.h"
#include "app/ReaderConfigDialog.h"
#include "app/StationWindow.h"
#include "dialog/ControlIds.h"
#include "driver/ExchangeLogLines.h"
#include "driver/LibraryDriver.h"
#include "driver/LoggingDriver.h"
#include "driver/ReaderDriver.h"
#include "ui/ControlSurface.h"

namespace uhf {

// The six command buttons are hover buttons; every other push button is a plain one.
inline constexpr std::array<int, 6> kHoverButtonIds = {idc::Connect,        idc::Disconnect,
                                                       idc::FactoryDefault, idc::ReadTag,
                                                       idc::SaveChanges,    idc::ReadConfig};
bool IsHoverButton(int id);

// The window's caption: the tool's title, ending in the simulator's suffix while the simulated
// reader is the driver.
std::string ToolCaption(bool simulatedReader);

// The driver the tool talks to: the bound library, behind the exchange log when one is asked
// for.
class ToolDriver {
 public:
  // Binds `library` (a bare name goes through the platform's library search). With a nonempty
  // `exchangeLog`, every call is also appended to that file; a log that cannot be written never
  // stops the tool. nullptr with `error` set when the library cannot be bound.
  static std::unique_ptr<ToolDriver> Bind(std::string_view library,
                                          const std::filesystem::path& exchangeLog,
                                          std::string& error);
  // The platform's driver library, with the exchange log that UHF_EXCHANGE_LOG names.
  static std::unique_ptr<ToolDriver> BindFromEnvironment(std::string& error);

  ReaderDriver& Driver() { return logged_ ? *logged_ : static_cast<ReaderDriver&>(*library_); }
  bool Simulated() const { return library_->Simulated(); }

 private:
  explicit ToolDriver(std::unique_ptr<LibraryDriver> library) : library_(std::move(library)) {}

  std::unique_ptr<LibraryDriver> library_;
  std::unique_ptr<ReaderDriver> logged_;
};

inline constexpr const char* kStationRefusesReading =
    "Continuous reading is off in station mode: the station reads each reader itself.";

// The main dialog on a surface: every control notification goes to its handler, then to the
// engineering view's panel, and Enter (on a surface that has an Enter key) to OnOK; initialised
// once made, then shown in `view` (Ctrl+E switches views). Every driver call the dialog makes is
// also kept for the exchange log pane.
class WiredDialog {
 public:
  template <typename Surface>
  WiredDialog(Surface& surface, ReaderDriver& driver,
              DialogPlatform platform = SystemDialogPlatform(),
              DialogView view = DialogView::Operator)
      : logged_(driver, log_.Sink()), dialog_(surface, logged_, std::move(platform)) {
    surface.SetNotificationHandler(
        [this](int id, Notification notification) { Dispatch(id, notification); });
    if constexpr (requires { surface.SetAcceptHandler([] { return true; }); }) {
      surface.SetAcceptHandler([this] { return dialog_.OnOK(); });
    }
    dialog_.OnInitDialog();
    panel_.emplace(dialog_.Context(), dialog_.Tags(), log_);
    views_.emplace(surface, view);
    views_->OnLeavingEngineering([this] { panel_->StopReading(); });
  }
  WiredDialog(const WiredDialog&) = delete;
  WiredDialog& operator=(const WiredDialog&) = delete;

  // A notification to the dialog's handler, then to the panel.
  void Dispatch(int id, Notification notification) {
    dialog_.OnCommand(id, notification);
    if (panel_) panel_->OnCommand(id, notification);
  }
  // Station mode takes the notifications over and passes them on here. Its polls own the link,
  // so continuous reading is refused while it runs; a view switch waits for the cycle's end.
  void HandOverToStation(StationWindow::Hooks& hooks) {
    hooks.command = [this](int id, Notification notification) { Dispatch(id, notification); };
    hooks.cycle = [this](bool running) { views_->HoldSwitches(running); };
    panel_->RefuseReading(kStationRefusesReading);
  }

  ReaderConfigDialog& Dialog() { return dialog_; }
  DialogViews& Views() { return *views_; }
  EngineeringPanel& Panel() { return *panel_; }
  const ExchangeLogLines& Log() const { return log_; }

 private:
  ExchangeLogLines log_;
  LoggingDriver logged_;
  ReaderConfigDialog dialog_;
  std::optional<EngineeringPanel> panel_;  // stops reading before the dialog goes
  std::optional<DialogViews> views_;
};

// What a platform's main provides.
class ToolPlatform {
 public:
  virtual ~ToolPlatform() = default;
  // Says why the tool cannot start (`error` names the library and the reason).
  virtual void ReportStartFailure(const std::string& error) = 0;
  // Builds the window over `driver` (the dialog wired by WiredDialog, hover buttons where
  // IsHoverButton says), shows it with `caption` and returns when it closes.
  virtual void RunWindow(ReaderDriver& driver, const std::string& caption) = 0;
};

// Binds the driver (BindFromEnvironment), then runs the window. 1 when the driver could not be
// bound (after reporting it), else 0.
int RunTool(ToolPlatform& platform);

}  // namespace uhf
