#pragma once
// Station mode: readers plugged in one after another, each configured with one job through the
// window's operations, verified by a full read, reported on one line and logged; the next reader
// is taken only after this one has left.

#include <chrono>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Session.h"
#include "reader/ReaderConfiguration.h"
#include "station/StationCycle.h"

namespace uhf::cli {

// The job and the comparison are the station cycle's (station/StationCycle.h).
using StationJob = uhf::StationJob;

struct StationOptions {
  StationJob job = StationJob::FactoryDefault;
  std::filesystem::path profile;  // apply
  LinkOptions link;
  std::chrono::milliseconds poll{300};
  int count = 0;  // readers to take; 0: until stopped
  bool json = false;
  bool liveStatus = false;  // stderr is a terminal: one waiting line rewritten in place
  std::filesystem::path stationLog;
};

// Time and the operator as the station meets them: the command line gives the real ones, tests
// their own.
struct StationHooks {
  std::function<void(std::chrono::milliseconds)> sleep;  // between two polls
  std::function<std::chrono::steady_clock::time_point()> now;
  std::function<std::string()> time;    // the time a line carries
  std::function<bool()> stopRequested;  // Ctrl+C, SIGTERM, the console closed
};

using SettingDifference = uhf::SettingDifference;
using uhf::CompareSettings;

// Runs the station until `count` readers were taken or a stop is requested (never between two
// writes to a reader). Returns the exit status: 0 every reader ok, 1 any failed, 4 any differs
// and none failed, 2 bad usage or a refused profile (nothing written).
int RunStation(const StationOptions& options, ReaderDriver& driver, DialogPlatform platform,
               const StationHooks& hooks, std::ostream& out, std::ostream& err);

}  // namespace uhf::cli
