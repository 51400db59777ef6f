// `uhf-readerctl read` as a whole process against its floor, a program that binds the same
// driver library and makes the same 15 calls. Both run against the simulated reader without
// latency, alternately, RUNS times after a warm-up; prints the mean and median wall time of each
// and the ratio of the medians (the goal is at most 1.5).
//
//   bench_readerctl [RUNS]     (default 200; the state file goes to a temporary folder)
#include <fcntl.h>
#include <spawn.h>
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

// Wall time of one run in microseconds; exits when the program fails.
double RunOnce(const std::string& program, const std::vector<std::string>& args) {
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
  waitpid(pid, &status, 0);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", program.c_str());
    std::exit(1);
  }
  return std::chrono::duration<double, std::micro>(elapsed).count();
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
  std::vector<double> companionTimes;
  std::vector<double> floorTimes;
  for (int i = 0; i < runs; ++i) {
    companionTimes.push_back(RunOnce(companion, {"read"}));
    floorTimes.push_back(RunOnce(floor, {}));
  }
  std::filesystem::remove_all(state);

  const Stats c = Summary(companionTimes);
  const Stats f = Summary(floorTimes);
  std::printf("runs: %d each, zero-latency simulated reader\n", runs);
  std::printf("uhf-readerctl read   mean %8.0f us   median %8.0f us\n", c.mean, c.median);
  std::printf("floor (15 calls)     mean %8.0f us   median %8.0f us\n", f.mean, f.median);
  std::printf("ratio of medians     %.2f (goal at most 1.5)\n", c.median / f.median);
  return 0;
}
