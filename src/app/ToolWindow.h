#pragma once
// The tool's window assembled: the Qt surface built from the dialog template, the hover buttons
// on the six command buttons, and the main dialog wired to it and initialised. Used by main, the
// screenshot tool, the window tests and the benchmarks, so all of them run the same window.

#include <QDialog>

#include <string_view>

#include "app/ReaderConfigDialog.h"
#include "dialog/MainDialogTemplate.h"

#include "ui/qt/QtSurface.h"

namespace uhf {

class ToolWindow {
 public:
  explicit ToolWindow(ReaderDriver& driver, DialogPlatform platform = SystemDialogPlatform());

  QtSurface& Surface() { return surface_; }
  ReaderConfigDialog& Dialog() { return dialog_; }
  QDialog* Window() { return surface_.Window(); }
  // Says in the caption that the reader behind the window is the simulated one.
  void MarkSimulatedReader();

 private:
  QtSurface surface_;
  ReaderConfigDialog dialog_;
};

}  // namespace uhf
