#pragma once
// uhf-readerctl fleet: one companion command per networked reader of a list, each in a child
// process of its own (the same program, so every reader gets the call sequence of the ordinary
// command), at most N at once. A child that does not finish in time is ended and its reader
// reported failed; a stop request starts no new reader and lets the running ones finish. Then one
// line per reader, in the list's order, and a summary.

#include <chrono>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/FleetChild.h"

namespace uhf::cli {

enum class FleetJob { Read, Export, Apply, FactoryDefault };

struct FleetOptions {
  std::filesystem::path readers;  // the reader list
  FleetJob job = FleetJob::Read;
  std::filesystem::path target;  // export: the folder of the profiles; apply: the profile
  int parallel = 8;
  std::chrono::milliseconds timeout{30000};
  std::filesystem::path program;     // what each child runs: this program
  std::string host;                  // --host for every child, when given
  std::string driver;                // --driver for every child, when given
  std::filesystem::path logDir;      // an exchange log per reader in this folder, when given
  std::filesystem::path stationLog;  // one station log line per reader, when given
  bool json = false;
  bool liveStatus = false;  // a progress line on stderr, rewritten in place
};

struct FleetHooks {
  std::function<std::unique_ptr<FleetChild>(const std::vector<std::string>& args,
                                            const std::filesystem::path& out,
                                            const std::filesystem::path& err, std::string& error)>
      start = StartFleetChild;
  std::function<std::chrono::steady_clock::time_point()> now = [] {
    return std::chrono::steady_clock::now();
  };
  // Waits at most the time given, for a child to end (WaitForFleetChildren when not set).
  std::function<void(std::chrono::milliseconds)> sleep;
  std::function<bool()> stopRequested = [] { return false; };
};

// Runs the fleet; the exit status: 0 every reader ok, 1 one failed (or was not started, or the
// station log could not be written), 4 one read back differently and none failed, 2 the list or
// the profile refused before any reader was touched.
int RunFleet(const FleetOptions& options, const FleetHooks& hooks, std::ostream& out,
             std::ostream& err);

}  // namespace uhf::cli
