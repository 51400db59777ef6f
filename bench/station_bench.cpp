// The station's pace: READERS simulated readers, each plugged in after the previous one has left,
// every driver call answering LATENCY ms late, the station polling every POLL ms. A reader leaves
// at the first pause after its line; the next is plugged in at the pause after the station found
// no reader. The time per reader is the time from one reader's start to the next one's, against
// the floor: (the job's calls + the verifying read's calls) x latency + one poll interval, the
// calls counted by running the window's own operations on a recorded reader of the same kind. Goal:
// at most 1.05 x the floor plus one poll interval (the pause in which the station sees the reader
// gone). Every sleep is timed too: a busy host wakes late. Each job runs twice: with exact sleeps
// (a clock moved on by what each sleep asked), then with real ones on this host.
//
//   bench_station [READERS] [POLL_MS] [LATENCY_MS]     (default 100 300 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/ReaderConfigDialog.h"
#include "cli/Station.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "reader/ReaderOperations.h"
#include "sim/InstrumentedReader.h"
#include "sim/LatencyDriver.h"
#include "sim/SimControl.h"
#include "sim/SimulatedReader.h"
#include "ui/MemorySurface.h"

namespace {

using namespace uhf;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// No serial ports, no host address, no config.ini: nothing of the machine is needed.
DialogPlatform BarePlatform() {
  return {[] { return std::vector<AvailablePort>{}; }, [] { return std::string("192.168.1.2"); },
          []() -> std::optional<std::filesystem::path> { return std::nullopt; }};
}

// The calls the window makes for the job and its verifying read, on a reader as the bench plugs
// them in: the job's button, then the read's.
std::size_t JobAndReadCalls(cli::StationJob job) {
  InstrumentedReader reader;
  reader.State() = NextReader(reader.State(), 0, true);
  MemorySurface surface{MainDialogTemplate()};
  ReaderConfigDialog window(surface, reader, BarePlatform());
  surface.SetNotificationHandler([&](int id, Notification n) { window.OnCommand(id, n); });
  window.OnInitDialog();
  reader.ClearCalls();
  if (job == cli::StationJob::FactoryDefault) {
    surface.Click(idc::FactoryDefault);
  } else {
    // A profile's save: the read that fills the controls, the values typed, the save.
    surface.Click(idc::ReadConfig);
    surface.SetText(idc::ReaderAddress, "12");
    OnSaveChanges(window.Context());
  }
  surface.Click(idc::ReadConfig);
  return reader.Calls().size();
}

struct Result {
  std::vector<Clock::time_point> starts;  // each reader's configuration began
  // From the first reader's start to the last one's:
  std::size_t calls = 0;   // driver calls
  std::size_t pauses = 0;  // pauses between polls
  Clock::duration callsSlept{};
  Clock::duration pausesSlept{};
  Clock::duration pausesAsked{};
  int ok = 0;
  int exitStatus = -1;
};

// With `exact`, sleeps take no time but move the station's clock on by exactly what was asked:
// the pace on a host that wakes every sleeper on time.
Result RunStation(cli::StationJob job, const std::filesystem::path& profile, int readers,
                  std::chrono::milliseconds poll, std::chrono::milliseconds latency, bool exact) {
  Result result;
  // Whether the time now falls between the first reader's start and the last one's.
  const auto counted = [&] {
    return !result.starts.empty() && result.starts.size() < static_cast<std::size_t>(readers);
  };
  Clock::duration skipped{};  // exact: the sleeps not slept
  const auto now = [&] { return Clock::now() + skipped; };
  // Sleeps as long as asked and adds the time it took to `total`.
  const auto measured = [&](Clock::duration& total, std::chrono::microseconds duration) {
    const auto began = now();
    if (exact) {
      skipped += duration;
    } else {
      LatencyDriver::PreciseSleep(duration);
    }
    if (counted()) total += now() - began;
  };
  SimulatedReader device;
  device.State() = NextReader(device.State(), 0, true);
  LatencyDriver late(device, latency, [&](std::chrono::microseconds d) {
    if (counted()) ++result.calls;
    measured(result.callsSlept, d);
  });
  std::size_t plugged = 1;
  cli::StationOptions options;
  options.job = job;
  options.profile = profile;
  options.poll = poll;
  options.count = readers;
  options.json = true;
  cli::StationHooks hooks;
  hooks.now = now;
  hooks.time = [&] {
    result.starts.push_back(now());
    return std::string("2026-12-07 10:00:00.000");
  };
  hooks.stopRequested = [] { return false; };
  hooks.sleep = [&](std::chrono::milliseconds pause) {
    if (counted()) {
      ++result.pauses;
      result.pausesAsked += pause;
    }
    SimState& s = device.State();
    if (s.attached && result.starts.size() == plugged) {
      s.attached = false;  // unplugged as soon as its line is shown
    } else if (!s.attached) {
      s = NextReader(s, 0, true);
      ++plugged;
    }
    measured(result.pausesSlept, pause);
  };
  std::ostringstream out, err;
  result.exitStatus = cli::RunStation(options, late, BarePlatform(), hooks, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    if (nlohmann::json::parse(line)["result"] == "ok") ++result.ok;
  }
  if (result.ok != readers) std::fprintf(stderr, "%s", (out.str() + err.str()).c_str());
  return result;
}

int Report(const char* name, cli::StationJob job, const std::filesystem::path& profile, int readers,
           std::chrono::milliseconds poll, std::chrono::milliseconds latency, bool exact) {
  const std::size_t floorCalls = JobAndReadCalls(job);
  const Result r = RunStation(job, profile, readers, poll, latency, exact);
  if (r.exitStatus != 0 || r.ok != readers || r.starts.size() < 2) {
    std::printf("%s: FAILED: exit %d, %d of %d readers ok\n", name, r.exitStatus, r.ok, readers);
    return 1;
  }
  std::vector<double> cycles;
  for (std::size_t i = 1; i < r.starts.size(); ++i) {
    cycles.push_back(Ms(r.starts[i] - r.starts[i - 1]).count());
  }
  const double mean =
      std::accumulate(cycles.begin(), cycles.end(), 0.0) / static_cast<double>(cycles.size());
  std::vector<double> sorted = cycles;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  const double lat = Ms(latency).count();
  const double pollMs = Ms(poll).count();
  const double floor = static_cast<double>(floorCalls) * lat + pollMs;
  const double goal = 1.05 * floor + pollMs;
  const auto perReader = [&](double total) { return total / static_cast<double>(cycles.size()); };
  const double calls = perReader(static_cast<double>(r.calls));
  const double pauses = perReader(static_cast<double>(r.pauses));
  const double callsSlept = perReader(Ms(r.callsSlept).count());
  const double pausesSlept = perReader(Ms(r.pausesSlept).count());
  std::printf("%s, %s: %d readers, poll %.0f ms, latency %.0f ms per call\n", name,
              exact ? "exact sleeps" : "this host", readers, pollMs, lat);
  std::printf("  time per reader: mean %.1f ms, median %.1f ms, max %.1f ms\n", mean, median,
              sorted.back());
  std::printf("  readers per hour: %.0f\n", 3'600'000.0 / mean);
  std::printf(
      "  floor %.1f ms (%zu calls of the job and its read); goal <= 1.05 x floor + poll"
      " = %.1f ms; mean / floor %.3f; goal %s\n",
      floor, floorCalls, goal, mean / floor, mean <= goal ? "met" : "MISSED");
  std::printf(
      "  per reader: %.1f calls (%.1f of the station's own: its polls and the last close)"
      ", %.0f ms asked, %.1f ms slept\n",
      calls, calls - static_cast<double>(floorCalls), calls * lat, callsSlept);
  std::printf("  per reader: %.2f pauses, %.1f ms asked, %.1f ms slept\n", pauses,
              perReader(Ms(r.pausesAsked).count()), pausesSlept);
  std::printf("  per reader: %.2f ms neither call nor pause (the station's own computing)\n",
              mean - callsSlept - pausesSlept);
  return mean <= goal ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int readers = argc > 1 ? std::atoi(argv[1]) : 100;
  const std::chrono::milliseconds poll(argc > 2 ? std::atoi(argv[2]) : 300);
  const std::chrono::milliseconds latency(argc > 3 ? std::atoi(argv[3]) : 5);
  if (readers < 2 || poll.count() <= 0 || latency.count() < 0) {
    std::fprintf(stderr, "usage: bench_station [READERS>=2] [POLL_MS>0] [LATENCY_MS>=0]\n");
    return 2;
  }
  const std::filesystem::path profile =
      std::filesystem::temp_directory_path() / "bench_station_profile.ini";
  {
    std::FILE* f = std::fopen(profile.string().c_str(), "wb");
    if (f == nullptr) return 2;
    std::fputs("[reader]\nreaderAddress=12\n", f);
    std::fclose(f);
  }
  int status = 0;
  for (const bool exact : {true, false}) {
    status |= Report("factory default", cli::StationJob::FactoryDefault, {}, readers, poll, latency,
                     exact);
    status |=
        Report("apply profile", cli::StationJob::Apply, profile, readers, poll, latency, exact);
  }
  std::filesystem::remove(profile);
  return status;
}
