// The fleet's pace: READERS simulated network readers, every driver call answering LATENCY ms
// late, `uhf-readerctl fleet ... apply` at each -j given. The floor of a run is
// ceil(READERS / j) x one reader's time, measured: the time the fleet reports for its one reader
// when it runs a list of one at -j1 (the median of three runs; the child's start to its end).
// Goal: at most 1.15 x the floor at every -j up to cores x 8. Also shown: the calls of one apply
// (counted from the simulated library's call record) x latency, to tell the reader's own time
// from a child's start-up, and the peak memory of one child (getrusage RUSAGE_CHILDREN of a lone
// companion run) and of the largest process of the fleet runs, and the CPU time a reader costs
// (the fleet's and the children's, from RUSAGE_CHILDREN): with many children on few cores their
// start-up competes for the processors and each reader's time grows.
//
//   bench_fleet [READERS] [LATENCY_MS] [J...]     (default 64 10 1 8 32)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/SimControl.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Text(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the program with its output into `out`; the exit status and the wall time in ms.
std::pair<int, double> Run(const std::vector<std::string>& args, const fs::path& out) {
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0) return {-1, 0};
  posix_spawn_file_actions_destroy(&files);
  int status = 0;
  waitpid(pid, &status, 0);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ms};
}

// CPU time of every child waited for so far (and theirs), in ms.
double ChildrenCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long MaxRssKb() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}

struct FleetRun {
  int exitStatus;
  double wallMs;
  double meanReaderMs;
  int ok;
};

FleetRun Fleet(const fs::path& folder, const fs::path& list, int j) {
  const fs::path out = folder / "out.txt";
  const auto [status, ms] =
      Run({READERCTL, "--driver", SIM_LIBRARY, "--json", "fleet", "--readers", list.string(), "-j",
           std::to_string(j), "apply", (folder / "line.ini").string()},
          out);
  FleetRun run{status, ms, 0, 0};
  std::istringstream lines(Text(out));
  int readers = 0;
  for (std::string line; std::getline(lines, line);) {
    const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
    if (!object.is_object() || !object.contains("durationMs")) continue;
    run.meanReaderMs += object["durationMs"].get<double>();
    run.ok += object["result"] == "ok" ? 1 : 0;
    ++readers;
  }
  if (readers > 0) run.meanReaderMs /= readers;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int readers = argc > 1 ? std::atoi(argv[1]) : 64;
  const int latency = argc > 2 ? std::atoi(argv[2]) : 10;
  std::vector<int> js;
  for (int i = 3; i < argc; ++i) js.push_back(std::atoi(argv[i]));
  if (js.empty()) js = {1, 8, 32};

  const fs::path folder =
      fs::temp_directory_path() / ("uhf-bench-fleet-" + std::to_string(std::random_device{}()));
  std::string list;
  std::string error;
  if (!uhf::MakeFleet(folder / "states", readers, "10.9.0.1", 27001, list, error)) {
    std::fprintf(stderr, "bench_fleet: %s\n", error.c_str());
    return 1;
  }
  std::ofstream(folder / "readers.txt") << list;
  std::ofstream(folder / "one.txt") << list.substr(0, list.find('\n') + 1);
  // Every value other than the readers hold, so that each apply writes.
  std::ofstream(folder / "line.ini") << "[reader]\nbuzzer=0\nworkMode=0\nreadTime=3\n";
  setenv("TAGVANE_SIM_STATE_DIR", (folder / "states").c_str(), 1);
  setenv("TAGVANE_SIM_LATENCY_MS", std::to_string(latency).c_str(), 1);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  // One apply alone: its calls (the record) and its peak memory, as the only child so far.
  setenv("TAGVANE_SIM_RECORD", (folder / "calls.txt").c_str(), 1);
  const std::string first = list.substr(0, list.find(' '));
  const auto [lone, loneMs] = Run({READERCTL, "--driver", SIM_LIBRARY, "--link", "tcp", "--reader",
                                   first, "apply", (folder / "line.ini").string()},
                                  folder / "lone.txt");
  unsetenv("TAGVANE_SIM_RECORD");
  const long childKb = MaxRssKb();
  std::size_t calls = 0;
  std::istringstream record(Text(folder / "calls.txt"));
  for (std::string line; std::getline(record, line);) ++calls;
  if (lone != 0) std::fprintf(stderr, "bench_fleet: the lone apply ended with %d\n", lone);

  // One reader's time: the fleet's own figure for a list of one, median of three.
  std::vector<double> ones;
  for (int i = 0; i < 3; ++i) ones.push_back(Fleet(folder, folder / "one.txt", 1).meanReaderMs);
  std::sort(ones.begin(), ones.end());
  const double one = ones[1];

  std::printf(
      "bench_fleet: %d readers, latency %d ms per call, %u cores (goal: <= 1.15 x floor "
      "at every -j up to %u)\n",
      readers, latency, cores, cores * 8);
  std::printf(
      "  one reader (apply): %.1f ms measured (fleet -j1, list of one, median of 3); "
      "%zu calls x %d ms = %.0f ms of answering; %.1f ms the child's own (start-up, "
      "binding, dialog)\n",
      one, calls, latency, static_cast<double>(calls) * latency,
      one - static_cast<double>(calls) * latency);
  std::printf("  a lone companion apply: %.1f ms wall, peak RSS %ld KiB\n", loneMs, childKb);
  bool met = true;
  for (const int j : js) {
    const double cpuBefore = ChildrenCpuMs();
    const FleetRun run = Fleet(folder, folder / "readers.txt", j);
    const double cpuPerReader = (ChildrenCpuMs() - cpuBefore) / readers;
    const double floor = std::ceil(static_cast<double>(readers) / j) * one;
    const double ratio = run.wallMs / floor;
    const bool counted = static_cast<unsigned>(j) <= cores * 8;
    met = met && (!counted || ratio <= 1.15);
    std::printf(
        "  -j%-3d wall %8.1f ms  floor %8.1f ms  ratio %.3f%s  mean reader %.1f ms "
        "(x%.2f of one alone)  cpu %.1f ms a reader  %d/%d ok  exit %d\n",
        j, run.wallMs, floor, ratio, counted ? (ratio <= 1.15 ? "" : " OVER") : " (past goal)",
        run.meanReaderMs, run.meanReaderMs / one, cpuPerReader, run.ok, readers, run.exitStatus);
  }
  std::printf("  peak RSS of the largest process of all runs (the fleet or a child): %ld KiB\n",
              MaxRssKb());
  std::printf("  goal %s\n", met ? "met" : "NOT met");
  fs::remove_all(folder);
  return met ? 0 : 1;
}
