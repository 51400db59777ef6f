// The station's polls begin every poll interval: the pause after a poll, or after a reader, is
// what is left of the interval that poll began. Time here is a clock the reader's calls move on.
#include <gtest/gtest.h>

#include "CompanionTestSupport.h"
#include "cli/Station.h"
#include "sim/LatencyDriver.h"
#include "sim/SimControl.h"

namespace uhf::cli::testing {
namespace {

using namespace std::chrono_literals;

TEST(StationPace, EachPauseIsWhatIsLeftOfThePollInterval) {
  // A reader taken while the interval still has room, and one whose job outlasts it.
  for (const auto latency : {1ms, 20ms}) {
    SCOPED_TRACE(latency.count());
    TempFolder folder;
    auto clock = std::chrono::steady_clock::time_point();
    SimulatedReader device;
    device.State() = NextReader(device.State(), 0, true);
    LatencyDriver late(device, latency, [&](std::chrono::microseconds d) { clock += d; });

    // Polls: the reader answers and is unplugged at the pause after it; the next poll finds
    // nothing. A poll begins as the pause before it ends (the first at once).
    std::vector<std::chrono::milliseconds> asked;
    std::vector<std::chrono::steady_clock::duration> sincePoll;  // at each pause
    auto pollBegan = clock;
    StationHooks hooks;
    hooks.now = [&] { return clock; };
    hooks.time = [] { return std::string("2026-12-07 10:00:00.000"); };
    hooks.sleep = [&](std::chrono::milliseconds pause) {
      asked.push_back(pause);
      sincePoll.push_back(clock - pollBegan);
      device.State().attached = false;
      clock += pause;
      pollBegan = clock;
    };
    hooks.stopRequested = [&] { return asked.size() >= 2; };
    StationOptions options;
    options.poll = 300ms;
    std::ostringstream out, err;
    RunStation(options, late, TestPlatform(folder.Path()), hooks, out, err);

    ASSERT_EQ(asked.size(), 2u) << err.str();
    for (std::size_t i = 0; i < asked.size(); ++i) {
      const auto left = options.poll - sincePoll[i];
      EXPECT_EQ(asked[i], std::max(std::chrono::duration_cast<std::chrono::milliseconds>(left),
                                   std::chrono::milliseconds(0)))
          << "pause " << i;
    }
    // The first pause follows the reader: with 20 ms calls its job outlasts the interval.
    EXPECT_EQ(asked[0] == 0ms, latency == 20ms);
    EXPECT_GT(asked[1], 0ms);
  }
}

}  // namespace
}  // namespace uhf::cli::testing
