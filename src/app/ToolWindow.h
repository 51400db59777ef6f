#pragma once
// The tool's window on Qt: the Qt surface built from the dialog template, hover buttons where
// the assembly says, and the main dialog wired to it and initialised. Used by the Qt main, the
// screenshot tool, the window tests and the benchmarks, so all of them run the same window.

#include <QDialog>

#include <string_view>

#include "app/ReaderConfigDialog.h"
#include "app/ToolAssembly.h"
#include "dialog/MainDialogTemplate.h"

#include "ui/qt/QtSurface.h"

namespace uhf {

class ToolWindow {
 public:
  explicit ToolWindow(ReaderDriver& driver, DialogPlatform platform = SystemDialogPlatform());

  QtSurface& Surface() { return surface_; }
  ReaderConfigDialog& Dialog() { return dialog_.Dialog(); }
  QDialog* Window() { return surface_.Window(); }
  void SetCaption(std::string_view caption);
  // Says in the caption that the reader behind the window is the simulated one.
  void MarkSimulatedReader();

 private:
  QtSurface surface_;
  WiredDialog dialog_;
};

}  // namespace uhf
