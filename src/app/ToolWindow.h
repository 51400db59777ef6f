#pragma once
// The tool's window on Qt: the Qt surface built from the dialog template, hover buttons where
// the assembly says, and the main dialog wired to it and initialised. Used by the Qt main, the
// screenshot tool, the window tests and the benchmarks, so all of them run the same window.

#include <QDialog>

#include <chrono>
#include <memory>
#include <string_view>

#include "app/ReaderConfigDialog.h"
#include "app/StationWindow.h"
#include "app/ToolAssembly.h"
#include "dialog/MainDialogTemplate.h"

#include "ui/qt/QtSurface.h"

namespace uhf {

class ToolWindow {
 public:
  explicit ToolWindow(ReaderDriver& driver, DialogPlatform platform = SystemDialogPlatform(),
                      DialogView view = DialogView::Operator);

  QtSurface& Surface() { return surface_; }
  ReaderConfigDialog& Dialog() { return dialog_.Dialog(); }
  DialogViews& Views() { return dialog_.Views(); }
  WiredDialog& Wired() { return dialog_; }
  QDialog* Window() { return surface_.Window(); }
  void SetCaption(std::string_view caption);
  // Says in the caption that the reader behind the window is the simulated one.
  void MarkSimulatedReader();

  // Station mode: readers polled for every `poll` on a worker thread, each configured with `task`
  // as it is plugged in. Closing the window then waits for the reader in progress.
  // `hooks.post` is the surface's own unless given.
  void StartStation(StationTask task,
                    std::chrono::milliseconds poll = std::chrono::milliseconds(300),
                    StationWindow::Hooks hooks = {});
  StationWindow* Station() { return station_.get(); }

 private:
  QtSurface surface_;
  WiredDialog dialog_;
  std::unique_ptr<StationWindow> station_;  // finished before the window goes
};

}  // namespace uhf
