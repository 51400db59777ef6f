// `uhf-readerctl read` as a whole process against its floor, a program that binds the same
// driver library and makes the same 15 calls. Both run against the simulated reader without
// latency, alternately, RUNS times after a warm-up; prints the mean and median wall time of each
// and the ratio of the medians (the goal is at most 1.5).
//
//   bench_readerctl [RUNS]     (default 200; the state file goes to a temporary folder)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Times {
  double wall;  // microseconds
  double cpu;   // user + system, microseconds
};

double Micros(const timeval& t) {
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec);
}

// Wall and processor time of one run; exits when the program fails.
Times RunOnce(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    std::perror(program.c_str());
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", program.c_str());
    std::exit(1);
  }
  return {std::chrono::duration<double, std::micro>(elapsed).count(),
          Micros(usage.ru_utime) + Micros(usage.ru_stime)};
}

struct Stats {
  double mean;
  double median;
};

Stats Summary(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return {std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(times.size()),
          times[times.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const std::filesystem::path folder = std::filesystem::path(argv[0]).parent_path();
  const std::string companion = (folder / "uhf-readerctl").string();
  const std::string floor = (folder / "readerctl_floor").string();
  const std::filesystem::path state =
      std::filesystem::temp_directory_path() / ("bench-readerctl-" + std::to_string(getpid()));
  setenv("TAGVANE_SIM_STATE", (state / "reader.ini").c_str(), 1);

  for (int i = 0; i < 10; ++i) {  // warm-up: caches, the state file
    RunOnce(companion, {"read"});
    RunOnce(floor, {});
  }
  std::vector<double> companionWall, companionCpu, floorWall, floorCpu;
  for (int i = 0; i < runs; ++i) {
    const Times c = RunOnce(companion, {"read"});
    const Times f = RunOnce(floor, {});
    companionWall.push_back(c.wall);
    companionCpu.push_back(c.cpu);
    floorWall.push_back(f.wall);
    floorCpu.push_back(f.cpu);
  }
  std::filesystem::remove_all(state);

  // Wall time is what a script waits; processor time is steadier on a busy machine.
  const Stats cw = Summary(companionWall), cc = Summary(companionCpu);
  const Stats fw = Summary(floorWall), fc = Summary(floorCpu);
  std::printf("runs: %d each, zero-latency simulated reader\n", runs);
  std::printf("                     wall mean   wall median   cpu mean   cpu median (us)\n");
  std::printf("uhf-readerctl read   %9.0f   %11.0f   %8.0f   %10.0f\n", cw.mean, cw.median, cc.mean,
              cc.median);
  std::printf("floor (15 calls)     %9.0f   %11.0f   %8.0f   %10.0f\n", fw.mean, fw.median, fc.mean,
              fc.median);
  std::printf("ratio of medians     wall %.2f   cpu %.2f (goal at most 1.5)\n",
              cw.median / fw.median, cc.median / fc.median);
  return 0;
}
