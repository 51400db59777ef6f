// Time from process start to the first painted window: the tool's main window (driver bound,
// every control built, initialisation run) against a bare Qt dialog started the same way.
// The benchmark starts this same program as a child for each sample and stops the clock when the
// child reports its first paint through a pipe.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/ToolWindow.h"
#include "driver/LibraryDriver.h"

extern char** environ;

namespace {

// Reports the first paint of a window on file descriptor `fd` and ends the event loop.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(int fd) : fd_(fd) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      const char byte = 'p';
      if (write(fd_, &byte, 1) != 1) std::perror("write");
      QTimer::singleShot(0, qApp, &QApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  int fd_;
  bool reported_ = false;
};

int RunChild(const std::string& mode, int fd) {
  int argc = 1;
  char name[] = "bench_startup";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  FirstPaint firstPaint(fd);
  if (mode == "bare") {
    QDialog dialog;
    dialog.setWindowTitle("bare");
    dialog.resize(850, 560);
    dialog.installEventFilter(&firstPaint);
    dialog.show();
    return app.exec();
  }
  std::string error;
  auto driver = uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
  if (!driver) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  uhf::ToolWindow window(*driver);
  window.Window()->installEventFilter(&firstPaint);
  window.Window()->show();
  return app.exec();
}

std::string SelfPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return {};
  path[n] = '\0';
  return path;
}

void StartToFirstPaint(benchmark::State& state, const char* mode) {
  const std::string self = SelfPath();
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  for (auto _ : state) {
    int fds[2];
    if (pipe(fds) != 0) return state.SkipWithError("pipe failed");
    const std::string fdText = std::to_string(fds[1]);
    char* argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--child"),
                    const_cast<char*>(mode), const_cast<char*>(fdText.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) {
      return state.SkipWithError("spawn failed");
    }
    close(fds[1]);
    char byte = 0;
    const bool painted = read(fds[0], &byte, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!painted) return state.SkipWithError("the child never painted");
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
}

BENCHMARK_CAPTURE(StartToFirstPaint, bare_qt_dialog, "bare")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(StartToFirstPaint, tool_main_window, "full")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
    return RunChild(argv[2], std::atoi(argv[3]));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
