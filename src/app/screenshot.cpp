// Renders the tool's window without a display and saves it as a PNG: the window as it opens, or
// after a press of "获取配置信息" (--read) or of "出厂默认设置" (--factory) against a fresh
// simulated reader held in memory; or in station mode waiting for a reader, after a reader
// configured (--station-ok) or after one whose write failed (--station-failed). --engineering,
// after the rest, shows the engineering view; with --read also a few tags read into the list,
// the second row selected.
//   uhf-screenshot OUTPUT.png [--read | --factory | --station-waiting | --station-ok |
//                              --station-failed] [--engineering]

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTableWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "sim/InstrumentedReader.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: %s OUTPUT.png [--read | --factory | --station-waiting | --station-ok | "
                 "--station-failed] [--engineering]\n",
                 argv[0]);
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);

  uhf::InstrumentedReader reader;  // no state file: a factory-fresh reader
  uhf::DialogPlatform platform = uhf::SystemDialogPlatform();
  platform.configIniPath = [] { return std::optional<std::filesystem::path>(); };
  bool engineering = false;
  for (int i = 2; i < argc; ++i)
    engineering = engineering || std::strcmp(argv[i], "--engineering") == 0;
  uhf::ToolWindow window(reader, platform,
                         engineering ? uhf::DialogView::Engineering : uhf::DialogView::Operator);
  window.Window()->show();
  QApplication::processEvents();
  // The host address is looked up after the first frame; the picture shows it once found.
  window.Surface().GetText(uhf::idc::HostIp);
  QApplication::processEvents();

  const char* action = argc > 2 ? argv[2] : "";
  const auto click = [&window](int id) { window.Wired().Dispatch(id, uhf::Notification::Clicked); };
  if (std::strcmp(action, "--read") == 0) {
    click(uhf::idc::ReadConfig);
    if (engineering) {
      for (int read = 0; read < 7; ++read) click(uhf::idc::ReadTagTestDecimal);
      if (auto* list = qobject_cast<QTableWidget*>(window.Surface().Widget(uhf::idc::TagList)))
        list->selectRow(1);
    }
  }
  if (std::strcmp(action, "--factory") == 0) click(uhf::idc::FactoryDefault);
  const bool waiting = std::strcmp(action, "--station-waiting") == 0;
  const bool failed = std::strcmp(action, "--station-failed") == 0;
  if (waiting || failed || std::strcmp(action, "--station-ok") == 0) {
    if (waiting) reader.State().attached = false;
    if (failed) reader.FailOn("UhfSetWgOutByte");
    window.StartStation({}, std::chrono::milliseconds(20));
    // Until the reader's result is shown (or a few polls found none).
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 &&
           (waiting ? clock.elapsed() < 200
                    : window.Station()->OkCount() + window.Station()->FailedCount() == 0)) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }
  QApplication::processEvents();

  if (!window.Window()->grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
