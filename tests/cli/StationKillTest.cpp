// uhf-readerctl station killed with SIGKILL at random moments while readers come and go: the
// station log it shares with every earlier run holds only whole lines.
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <random>
#include <regex>
#include <thread>

#include "CompanionTestSupport.h"
#include "ProcessRunner.h"
#include "cli/StationLog.h"
#include "sim/SimControl.h"

namespace uhf::cli::testing {
namespace {

using namespace std::chrono_literals;

TEST(StationKill, TheStationLogHoldsOnlyWholeLines) {
  constexpr int kRuns = 50;
  TempFolder folder;
  const fs::path state = folder / "reader.ini";
  const fs::path log = folder / "station.csv";
  std::string error;
  SimState made;
  ASSERT_TRUE(PlugNewReader(state, 0, true, made, error)) << error;
  const Environment env = {{"LD_LIBRARY_PATH", RECORDING_LIBRARY_DIR},
                           {"TAGVANE_SIM_STATE", state.string()},
                           {"TAGVANE_SIM_LATENCY_MS", "1"}};

  // Another reader every 30 ms, as long as the runs last: each takes a station about as long.
  std::atomic<bool> done{false};
  std::thread plugging([&] {
    std::string failure;
    SimState next;
    while (!done) {
      PlugNewReader(state, 0, true, next, failure);
      std::this_thread::sleep_for(30ms);
    }
  });
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> moment(0, 400);
  for (int run = 0; run < kRuns; ++run) {
    const pid_t station = StartProcess({READERCTL, "--station-log", log.string(), "station",
                                        "--factory-default", "--poll-ms", "5"},
                                       env, folder / "out.txt", folder / "err.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
    kill(station, SIGKILL);
    EXPECT_EQ(WaitProcess(station), 128 + SIGKILL) << FileText(folder / "err.txt");
  }
  done = true;
  plugging.join();

  const std::string text = FileText(log);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, kStationColumnsHeader);
  const std::regex whole(
      R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3},station factory-default,usb,[^,]*,)"
      R"([^,]*,(ok,0|failed,1|differs,4),("[^"]*"|[^,"]*),\d+)");
  int readers = 0;
  while (std::getline(lines, line)) {
    EXPECT_TRUE(std::regex_match(line, whole)) << line << " (seed " << seed << ")";
    ++readers;
  }
  std::printf("station killed %d times: %d whole lines\n", kRuns, readers);
  EXPECT_GT(readers, 0);
}

}  // namespace
}  // namespace uhf::cli::testing
