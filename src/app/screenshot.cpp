// Renders the tool's window without a display and saves it as a PNG: the window as it opens, or
// after a press of "获取配置信息" (--read) or of "出厂默认设置" (--factory) against a fresh
// simulated reader held in memory.
//   uhf-screenshot OUTPUT.png [--read | --factory]

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "sim/SimulatedReader.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [--read | --factory]\n", argv[0]);
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);

  uhf::SimulatedReader reader;  // no state file: a factory-fresh reader
  uhf::DialogPlatform platform = uhf::SystemDialogPlatform();
  platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
  uhf::ToolWindow window(reader, platform);
  window.Window()->show();
  QApplication::processEvents();

  const char* action = argc > 2 ? argv[2] : "";
  if (std::strcmp(action, "--read") == 0)
    window.Dialog().OnCommand(uhf::idc::ReadConfig, uhf::Notification::Clicked);
  if (std::strcmp(action, "--factory") == 0)
    window.Dialog().OnCommand(uhf::idc::FactoryDefault, uhf::Notification::Clicked);
  QApplication::processEvents();

  if (!window.Window()->grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
