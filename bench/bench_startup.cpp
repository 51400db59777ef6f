// Time from process start to the first complete frame, and peak resident memory at that frame,
// for three windows started the same way, each in a fresh child process:
//   bare   an empty Qt dialog of the window's size;
//   floor  a dialog this benchmark builds itself that shows only the tool window's visible texts,
//          each in the font, size, place and alignment the tool gives it, as plain labels: what
//          any window showing those texts has to pay;
//   tool   the tool's main window as the executable starts it (driver bound, window built,
//          initialisation run);
//   engineering  the same window started in its engineering view (--engineering);
//   engineering-floor  the floor of the engineering view: its visible texts as plain labels.
// The runs are interleaved (one of each per round, the order rotating) so that load from other
// processes on the machine falls on all three alike; the counters give min and median of each and
// the ratios tool/bare and tool/floor of the mins and of the medians. The child's processor time
// up to the frame is reported beside the wall time: on a busy machine it shows what the window
// itself costs.
//
// First complete frame: every widget of the window that is visible and not covered has received
// its first paint event, and the backing store painted in that pass has been flushed. Qt paints
// all dirty widgets of a window and flushes the backing store in one synchronous pass, so an event
// posted from one of those paint events is delivered right after the flush; the watch looks then.
// It is posted at high priority so that work a window queues for after its first frame (at normal
// priority) does not delay the report.
//
//   bench_startup [--rounds=N] [benchmark flags]     (N >= 20; default 21)

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTextEdit>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/ToolWindow.h"
#include "driver/LibraryDriver.h"

extern char** environ;

namespace {

// What the child reports through its pipe once the first complete frame is out: one byte at
// once (the parent stops its clock on it), then its figures at that frame.
constexpr char kFrameByte = 'f';

struct FrameFigures {
  long peakKb = -1;  // peak resident set
  long cpuUs = -1;   // processor time used, user and system
};

long CpuMicroseconds() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec +
         usage.ru_stime.tv_usec;
}

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Watches every paint event of the application. After each paint pass (an event posted from its
// first paint event is delivered once the pass is flushed) it looks whether each widget of
// `window` that is visible and not fully covered has been painted at least once; the first pass
// after which that holds is the first complete frame. Looking once a pass, not after each paint,
// keeps the watch's own cost from growing with the square of the window's widgets.
class FrameWatch : public QObject {
 public:
  FrameWatch(QWidget* window, int fd) : window_(window), fd_(fd) { qApp->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
      painted_.insert(static_cast<QWidget*>(watched));
      if (!lookPosted_) {
        lookPosted_ = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    lookPosted_ = false;
    if (!AllPainted()) return true;
    const char byte = kFrameByte;
    FrameFigures figures;
    figures.cpuUs = CpuMicroseconds();
    figures.peakKb = PeakResidentKb();
    if (write(fd_, &byte, 1) != 1 || write(fd_, &figures, sizeof figures) != sizeof figures) {
      std::perror("write");
    }
    // Nothing after the frame is measured: leave without tearing the window down.
    std::fflush(nullptr);
    _exit(0);
  }

 private:
  bool AllPainted() const {
    if (!window_->isVisible() || !painted_.contains(window_)) return false;
    for (QWidget* widget : window_->findChildren<QWidget*>()) {
      // Painted first: a widget's visible region costs a pass over its siblings.
      if (!painted_.contains(widget) && widget->isVisible() && !widget->visibleRegion().isEmpty())
        return false;
    }
    return true;
  }

  QWidget* window_;
  int fd_;
  QSet<QWidget*> painted_;
  bool lookPosted_ = false;
};

// --- the floor: the tool window's visible texts, described once, shown as plain labels ---

// One visible text of the tool window: where it is, its font, alignment and format.
struct TextItem {
  QRect rect;
  QStringList families;
  double points = 0;
  int weight = 0;
  int alignment = 0;
  bool rich = false;
  bool wrap = false;
  QString text;
};

QString Escape(QString text) {
  return text.replace(u'\\', QStringLiteral("\\\\"))
      .replace(u'\n', QStringLiteral("\\n"))
      .replace(u'\t', QStringLiteral("\\t"));
}

QString Unescape(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'\\' && i + 1 < text.size()) {
      const QChar next = text[++i];
      out += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The text a visible control of the tool window draws, with its format; false when it draws none.
bool VisibleText(const QWidget* widget, TextItem& item) {
  item.alignment = Qt::AlignLeft | Qt::AlignVCenter;
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    item.text = label->text();
    item.alignment = static_cast<int>(label->alignment());
    item.rich = label->textFormat() == Qt::RichText;
    item.wrap = label->wordWrap();
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    item.text = button->text();
    if (qobject_cast<const QPushButton*>(widget) != nullptr) item.alignment = Qt::AlignCenter;
  } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
    item.text = group->title();
    item.alignment = Qt::AlignLeft | Qt::AlignTop;
  } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
    item.text = edit->text();
    item.alignment = static_cast<int>(edit->alignment());
  } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
    item.text = combo->currentText();
  } else if (const auto* rich = qobject_cast<const QTextEdit*>(widget)) {
    item.text = rich->toPlainText();
    item.alignment = Qt::AlignHCenter | Qt::AlignTop;
    item.wrap = true;
  }
  if (item.text.isEmpty()) return false;
  item.rect = widget->geometry();
  item.families = widget->font().families();
  if (item.families.isEmpty()) item.families << widget->font().family();
  item.points = widget->font().pointSizeF();
  item.weight = widget->font().weight();
  return true;
}

// Builds the tool window in `view`, lets it settle, and writes its size and visible texts to
// `path`.
int DescribeTool(const std::string& path, uhf::DialogView view) {
  std::string error;
  auto driver = uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
  if (!driver) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  uhf::ToolWindow tool(*driver, uhf::SystemDialogPlatform(), view);
  QDialog* window = tool.Window();
  window->show();
  QCoreApplication::processEvents();

  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
  QTextStream out(&file);
  out << window->width() << '\t' << window->height() << '\t' << Escape(window->windowTitle())
      << '\n';
  int count = 0;
  for (QWidget* widget : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    TextItem item;
    if (!widget->isVisible() || !VisibleText(widget, item)) continue;
    out << item.rect.x() << '\t' << item.rect.y() << '\t' << item.rect.width() << '\t'
        << item.rect.height() << '\t' << Escape(item.families.join(u'|')) << '\t' << item.points
        << '\t' << item.weight << '\t' << item.alignment << '\t' << int(item.rich) << '\t'
        << int(item.wrap) << '\t' << Escape(item.text) << '\n';
    ++count;
  }
  return count > 0 ? 0 : 1;
}

int ShowFloor(const std::string& path, int fd) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return 1;
  QTextStream in(&file);
  const QStringList head = in.readLine().split(u'\t');
  if (head.size() != 3) return 1;
  QDialog dialog;
  dialog.setWindowTitle(Unescape(head[2]));
  dialog.setFixedSize(head[0].toInt(), head[1].toInt());
  while (!in.atEnd()) {
    const QStringList f = in.readLine().split(u'\t');
    if (f.size() != 11) continue;
    auto* label = new QLabel(&dialog);
    label->setGeometry(f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt());
    QFont font;
    font.setFamilies(Unescape(f[4]).split(u'|'));
    font.setPointSizeF(f[5].toDouble());
    font.setWeight(static_cast<QFont::Weight>(f[6].toInt()));
    label->setFont(font);
    label->setAlignment(static_cast<Qt::Alignment>(f[7].toInt()));
    label->setTextFormat(f[8] == QStringLiteral("1") ? Qt::RichText : Qt::PlainText);
    label->setWordWrap(f[9] == QStringLiteral("1"));
    label->setText(Unescape(f[10]));
  }
  FrameWatch watch(&dialog, fd);
  dialog.show();
  return QApplication::exec();
}

std::string EngineeringFloorFile(const std::string& floorFile) {
  return floorFile + "_engineering";
}

int RunChild(const std::string& mode, int fd, const std::string& floorFile) {
  int argc = 1;
  char name[] = "bench_startup";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  if (mode == "describe") return DescribeTool(floorFile, uhf::DialogView::Operator);
  if (mode == "describe-engineering") {
    return DescribeTool(EngineeringFloorFile(floorFile), uhf::DialogView::Engineering);
  }
  if (mode == "floor") return ShowFloor(floorFile, fd);
  if (mode == "engineering-floor") return ShowFloor(EngineeringFloorFile(floorFile), fd);
  if (mode == "bare") {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("bare"));
    dialog.resize(850, 560);
    FrameWatch watch(&dialog, fd);
    dialog.show();
    return QApplication::exec();
  }
  // The tool, started as its executable starts it.
  std::string error;
  auto driver = uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
  if (!driver) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  uhf::ToolWindow window(
      *driver, uhf::SystemDialogPlatform(),
      mode == "engineering" ? uhf::DialogView::Engineering : uhf::DialogView::Operator);
  FrameWatch watch(window.Window(), fd);
  window.Window()->exec();
  return 0;
}

// --- the parent ---

std::string SelfPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return {};
  path[n] = '\0';
  return path;
}

struct Sample {
  double ms = 0;
  FrameFigures figures;
};

// Starts one child in `mode`; false when it did not report a frame.
bool RunOnce(const std::string& self, const char* mode, const std::string& floorFile,
             Sample& sample) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const std::string fdText = std::to_string(fds[1]);
  char* argv[] = {const_cast<char*>(self.c_str()),
                  const_cast<char*>("--child"),
                  const_cast<char*>(mode),
                  const_cast<char*>(fdText.c_str()),
                  const_cast<char*>(floorFile.c_str()),
                  nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  close(fds[1]);
  char byte = 0;
  const bool framed = read(fds[0], &byte, 1) == 1 && byte == kFrameByte;
  const auto end = std::chrono::steady_clock::now();
  FrameFigures figures;
  const bool peak = framed && read(fds[0], &figures, sizeof figures) == sizeof figures;
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  sample.ms = std::chrono::duration<double, std::milli>(end - start).count();
  sample.figures = figures;
  return framed && peak;
}

bool Describe(const std::string& self, const char* mode, const std::string& floorFile) {
  char* argv[] = {const_cast<char*>(self.c_str()),      const_cast<char*>("--child"),
                  const_cast<char*>(mode),              const_cast<char*>("-1"),
                  const_cast<char*>(floorFile.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Min(std::vector<double> values) {
  return *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int g_rounds = 21;

constexpr std::array<const char*, 5> kModes = {"bare", "floor", "tool", "engineering",
                                               "engineering-floor"};

void StartupToFirstCompleteFrame(benchmark::State& state) {
  const std::string self = SelfPath();
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string floorFile =
      (std::filesystem::temp_directory_path() / ("bench_startup_floor_" + std::to_string(getpid())))
          .string();
  if (!Describe(self, "describe", floorFile) ||
      !Describe(self, "describe-engineering", floorFile)) {
    return state.SkipWithError("cannot describe the tool window");
  }
  const auto removeFloors = [&floorFile] {
    std::remove(floorFile.c_str());
    std::remove(EngineeringFloorFile(floorFile).c_str());
  };

  std::array<std::vector<double>, kModes.size()> ms;
  std::array<std::vector<double>, kModes.size()> cpuMs;
  std::array<std::vector<double>, kModes.size()> peakMb;
  std::size_t round = 0;
  for (auto _ : state) {
    double toolMs = 0;
    for (std::size_t k = 0; k < kModes.size(); ++k) {
      const std::size_t m = (round + k) % kModes.size();
      Sample sample;
      if (!RunOnce(self, kModes[m], floorFile, sample)) {
        removeFloors();
        return state.SkipWithError((std::string(kModes[m]) + " never framed").c_str());
      }
      ms[m].push_back(sample.ms);
      cpuMs[m].push_back(static_cast<double>(sample.figures.cpuUs) / 1000.0);
      peakMb[m].push_back(static_cast<double>(sample.figures.peakKb) / 1024.0);
      if (m == 2) toolMs = sample.ms;
    }
    ++round;
    state.SetIterationTime(toolMs / 1000.0);
  }
  removeFloors();

  for (std::size_t m = 0; m < kModes.size(); ++m) {
    const std::string mode = kModes[m];
    state.counters[mode + "_min_ms"] = Min(ms[m]);
    state.counters[mode + "_med_ms"] = Median(ms[m]);
    state.counters[mode + "_cpu_min_ms"] = Min(cpuMs[m]);
    state.counters[mode + "_peak_MB"] = Median(peakMb[m]);
  }
  state.counters["tool/bare_min"] = Min(ms[2]) / Min(ms[0]);
  state.counters["tool/bare_med"] = Median(ms[2]) / Median(ms[0]);
  state.counters["tool/floor_min"] = Min(ms[2]) / Min(ms[1]);
  state.counters["tool/floor_med"] = Median(ms[2]) / Median(ms[1]);
  state.counters["cpu_tool/floor_min"] = Min(cpuMs[2]) / Min(cpuMs[1]);
  state.counters["rss_tool/floor"] = Median(peakMb[2]) / Median(peakMb[1]);
  state.counters["engineering/tool_min"] = Min(ms[3]) / Min(ms[2]);
  state.counters["engineering/tool_med"] = Median(ms[3]) / Median(ms[2]);
  state.counters["engineering/its_floor_med"] = Median(ms[3]) / Median(ms[4]);
  state.counters["floors_engineering/operator_med"] = Median(ms[4]) / Median(ms[1]);

  std::printf("\n%-17s %10s %10s %12s %12s %12s   (%d interleaved rounds)\n", "case", "min ms",
              "median ms", "cpu min ms", "cpu med ms", "peak RSS MB", g_rounds);
  for (std::size_t m = 0; m < kModes.size(); ++m) {
    std::printf("%-17s %10.2f %10.2f %12.2f %12.2f %12.2f\n", kModes[m], Min(ms[m]), Median(ms[m]),
                Min(cpuMs[m]), Median(cpuMs[m]), Median(peakMb[m]));
  }
  std::printf("tool/bare  %.3f (min)  %.3f (median)\n", Min(ms[2]) / Min(ms[0]),
              Median(ms[2]) / Median(ms[0]));
  std::printf("tool/floor %.3f (min)  %.3f (median)   goal <= 1.25\n", Min(ms[2]) / Min(ms[1]),
              Median(ms[2]) / Median(ms[1]));
  std::printf("processor time tool/floor %.3f (min)  %.3f (median)\n",
              Min(cpuMs[2]) / Min(cpuMs[1]), Median(cpuMs[2]) / Median(cpuMs[1]));
  std::printf("peak RSS tool/floor %.3f (median)   goal <= 1.10\n",
              Median(peakMb[2]) / Median(peakMb[1]));
  std::printf("engineering/tool %.3f (min)  %.3f (median)   goal <= 1.2\n",
              Min(ms[3]) / Min(ms[2]), Median(ms[3]) / Median(ms[2]));
  // The same two views as plain labels: what the ratio above would be if every control cost what
  // a label showing its text costs.
  std::printf("engineering/its floor %.3f (min)  %.3f (median)\n", Min(ms[3]) / Min(ms[4]),
              Median(ms[3]) / Median(ms[4]));
  std::printf("floors, engineering/operator %.3f (min)  %.3f (median)\n\n",
              Min(ms[4]) / Min(ms[1]), Median(ms[4]) / Median(ms[1]));
}

// One switch of views on the shown tool window: the controls rearranged, the window resized and
// painted again, to the engineering view and back in turn. The first switch also builds the
// controls the operator view had not built yet; it is reported on its own.
void ViewSwitch(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "bench_startup";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  std::string error;
  auto driver = uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
  if (!driver) return state.SkipWithError(error.c_str());
  uhf::ToolWindow window(*driver);
  window.Window()->show();
  QApplication::processEvents();
  const auto switchOnce = [&window] {
    window.Views().Toggle();
    QApplication::processEvents();
    window.Window()->repaint();
  };
  const auto start = std::chrono::steady_clock::now();
  switchOnce();
  state.counters["first_switch_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) switchOnce();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--child") == 0)
    return RunChild(argv[2], std::atoi(argv[3]), argv[4]);
  // Our own flag first; the rest goes to the benchmark library.
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
      g_rounds = std::max(20, std::atoi(argv[i] + 9));
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::RegisterBenchmark("StartupToFirstCompleteFrame", StartupToFirstCompleteFrame)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(g_rounds);
  benchmark::RegisterBenchmark("ViewSwitch", ViewSwitch)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&count, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
