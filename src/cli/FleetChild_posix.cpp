#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/FleetChild.h"

extern char** environ;

namespace uhf::cli {

namespace {

int StatusOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class PosixChild final : public FleetChild {
 public:
  explicit PosixChild(pid_t pid) : pid_(pid) {}
  ~PosixChild() override {
    if (!status_) Kill();
  }

  std::optional<int> Poll() override {
    if (status_) return status_;
    int status = 0;
    pid_t done = 0;
    do {
      done = waitpid(pid_, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == pid_) status_ = StatusOf(status);
    return status_;
  }

  void Kill() override {
    if (status_) return;
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    status_ = StatusOf(status);
  }

 private:
  pid_t pid_;
  std::optional<int> status_;
};

// SIGCHLD is held pending from the first start on, so that a wait for it misses no child that
// ended between two looks.
void HoldChildSignals() {
  static const bool held = [] {
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    return sigprocmask(SIG_BLOCK, &child, nullptr) == 0;
  }();
  (void)held;
}

}  // namespace

void WaitForFleetChildren(std::chrono::milliseconds limit) {
  sigset_t child;
  sigemptyset(&child);
  sigaddset(&child, SIGCHLD);
  const auto ms = limit.count() < 0 ? 0 : limit.count();
  const timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  sigtimedwait(&child, nullptr, &wait);  // a child ended, a stop signal came, or the time is up
}

std::unique_ptr<FleetChild> StartFleetChild(const std::vector<std::string>& args,
                                            const std::filesystem::path& out,
                                            const std::filesystem::path& err, std::string& error) {
  HoldChildSignals();
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&files);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // A group of its own: the terminal's Ctrl+C goes to the fleet, which lets the child finish.
  // The stop signals stay held in the child: one sent to the fleet's group while the child was
  // still in it (before it left for its own) would otherwise end the child as it starts.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &stops);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setsigmask(&attributes, &stops);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, argv[0], &files, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    error = "cannot start " + args.front() + ": " + std::strerror(failed);
    return nullptr;
  }
  return std::make_unique<PosixChild>(pid);
}

std::filesystem::path OwnProgram() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self;
}

}  // namespace uhf::cli
