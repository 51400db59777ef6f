// Two processes at once: station log lines appended together, and the simulated reader's state
// file written together.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "CompanionTestSupport.h"
#include "ProcessRunner.h"
#include "cli/StationLog.h"
#include "files/FileLock.h"
#include "sim/SimStateFile.h"

namespace uhf::cli::testing {
namespace {

// Runs two appenders at once and checks that the file is `before` followed by a header (when
// `before` is empty) and exactly their lines, each whole.
void AppendTogether(const TempFolder& folder, const std::filesystem::path& log,
                    const std::string& before, int lines) {
  const pid_t first = StartProcess({APPEND_TOOL, log.string(), "alpha", std::to_string(lines)}, {},
                                   folder / "a.out", folder / "a.err");
  const pid_t second = StartProcess({APPEND_TOOL, log.string(), "beta", std::to_string(lines)}, {},
                                    folder / "b.out", folder / "b.err");
  ASSERT_EQ(WaitProcess(first), 0) << FileText(folder / "a.err");
  ASSERT_EQ(WaitProcess(second), 0) << FileText(folder / "b.err");

  const std::string text = ReadBytes(log);
  ASSERT_EQ(text.substr(0, before.size()), before);  // nothing earlier is rewritten
  std::istringstream rest(text.substr(before.size()));
  std::string line;
  if (before.empty()) {
    ASSERT_TRUE(std::getline(rest, line));
    EXPECT_EQ(line, kStationLogHeader);
  }
  const std::string serial = "SN:" + std::string(3000, 'x');
  std::map<std::string, std::set<int>> seen;
  int count = 0;
  while (std::getline(rest, line)) {
    ++count;
    // Every line whole: time (the line's index), command, link, serial, version (the writer),
    // result, status.
    const std::size_t comma = line.find(',');
    ASSERT_NE(comma, std::string::npos) << "mangled line " << count;
    const std::string rest_of_line = line.substr(comma);
    const bool alpha = rest_of_line == ",read,usb," + serial + ",alpha,ok,0";
    const bool beta = rest_of_line == ",read,usb," + serial + ",beta,ok,0";
    ASSERT_TRUE(alpha || beta) << "mangled line " << count;
    EXPECT_TRUE(seen[alpha ? "alpha" : "beta"].insert(std::stoi(line.substr(0, comma))).second);
  }
  EXPECT_EQ(count, 2 * lines);
  EXPECT_EQ(seen["alpha"].size(), static_cast<std::size_t>(lines));
  EXPECT_EQ(seen["beta"].size(), static_cast<std::size_t>(lines));
}

TEST(Concurrency, TwoProcessesAppendingStationLinesNeitherInterleaveNorLose) {
  TempFolder folder;
  const std::filesystem::path log = folder / "station.csv";
  // A new file: one header between them.
  AppendTogether(folder, log, "", 400);
  // An existing file keeps what it holds.
  AppendTogether(folder, log, ReadBytes(log), 100);
}

TEST(Concurrency, AStationLineWaitsForTheLockOfTheFile) {
  TempFolder folder;
  const std::filesystem::path log = folder / "station.csv";
  std::string error;
  std::unique_ptr<FileLock> held = FileLock::Acquire(log, error);
  ASSERT_TRUE(held) << error;
  const pid_t writer = StartProcess({APPEND_TOOL, log.string(), "alpha", "1"}, {}, folder / "a.out",
                                    folder / "a.err");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(ReadBytes(log), "");  // still waiting
  held.reset();
  ASSERT_EQ(WaitProcess(writer), 0);
  const std::string text = ReadBytes(log);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);  // the header and the line
}

TEST(Concurrency, TwoProcessesWritingTheSimulatedStateLoseNoSetting) {
  TempFolder folder;
  const std::filesystem::path state = folder / "reader.ini";
  constexpr int kWrites = 150;
  const pid_t first =
      StartProcess({HAMMER_TOOL, state.string(), "trigger", std::to_string(kWrites)}, {},
                   folder / "a.out", folder / "a.err");
  const pid_t second =
      StartProcess({HAMMER_TOOL, state.string(), "output", std::to_string(kWrites)}, {},
                   folder / "b.out", folder / "b.err");
  EXPECT_EQ(WaitProcess(first), 0) << FileText(folder / "a.err");
  EXPECT_EQ(WaitProcess(second), 0) << FileText(folder / "b.err");

  SimState onDisk;
  std::string error;
  ASSERT_EQ(ReadSimStateFile(state, onDisk, error), StateFileResult::Loaded) << error;
  EXPECT_EQ(onDisk.triggerTime, kWrites % 200 + 1);
  EXPECT_EQ(onDisk.wgIntervalTime, kWrites % 200 + 1);
}

}  // namespace
}  // namespace uhf::cli::testing
