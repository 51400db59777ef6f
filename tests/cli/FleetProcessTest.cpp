// uhf-readerctl fleet as a whole program, on Linux and (the Windows build) under Wine: simulated
// network readers made by tagvane-sim, one child process per reader.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <set>
#include <thread>

#include "ReaderctlRun.h"
#include "cli/StationLog.h"
#include "sim/SimStateFile.h"
#include "text/Utf8Path.h"

namespace uhf::cli::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

// Every setting the profile names differs from what tagvane-sim's readers hold, so that a reader
// holds the profile only when the save's writes all landed.
constexpr const char* kProfile =
    "[reader]\nbuzzer=0\nworkMode=0\nreadTime=3\noutputTime=4\noutPower=20\nreaderAddress=9\n"
    "frequencyBand=FCC\nfrequencyStart=902000\nfrequencyEnd=926000\n";

bool HoldsProfile(const SimState& s) {
  return s.buzzer == 0 && s.workMode == 0 && s.triggerTime == 3 && s.wgIntervalTime == 4 &&
         s.outPower == 20 && s.address == 9 && s.regionStart == 902000 && s.regionEnd == 926000;
}

class FleetProcess : public ReaderctlRun {
 protected:
  fs::path States() const { return folder_ / "states"; }
  // A blank and Chinese in the name: the children's command lines must carry it whole.
  fs::path Profile() const { return folder_.Path() / Utf8Path("line 配置.ini"); }
  fs::path StateFile(const std::string& address) const {
    std::string name = address;
    name[name.find(':')] = '_';
    return States() / (name + ".ini");
  }
  ChildEnvironment Env() const { return {{"TAGVANE_SIM_STATE_DIR", States().string()}}; }

  // `count` readers by tagvane-sim; their addresses in the list's order.
  std::vector<std::string> MakeReaders(int count) {
    ChildProcess sim(
        {NativePath(SIM_TOOL), "fleet", States().string(), std::to_string(count), "10.7.0.1:27001"},
        Env(), folder_ / "readers.txt", folder_ / "sim-err.txt");
    EXPECT_EQ(sim.Wait(60s), 0) << TextOf(folder_ / "sim-err.txt");
    std::vector<std::string> addresses;
    for (const std::string& line : LinesOf(folder_ / "readers.txt"))
      addresses.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(addresses.size(), static_cast<std::size_t>(count));
    WriteBytes(Profile(), kProfile);
    return addresses;
  }
  SimState State(const std::string& address) const {
    SimState state;
    std::string error;
    EXPECT_EQ(ReadSimStateFile(StateFile(address), state, error), StateFileResult::Loaded)
        << address << ": " << error;
    return state;
  }
  std::vector<std::string> FleetArgs(const std::vector<std::string>& more) const {
    std::vector<std::string> args = ReaderctlArgs(
        SIM_LIBRARY,
        {"fleet", "--readers", (folder_ / "readers.txt").string(), "apply", PathText(Profile())});
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }
};

TEST_F(FleetProcess, TwentyReadersThreeUnreachableOneFailingWriteSixteenHoldTheProfile) {
  const std::vector<std::string> readers = MakeReaders(20);
  const std::set<std::string> unreachable = {readers[3], readers[9], readers[16]};
  const std::string broken = readers[12];
  for (const std::string& address : unreachable) fs::remove(StateFile(address));
  SimState worn = State(broken);
  worn.writesFail = true;
  std::string error;
  ASSERT_TRUE(WriteSimStateFile(StateFile(broken), worn, error)) << error;

  ChildProcess fleet(FleetArgs({"-j", "8", "--timeout", "120"}), Env(), folder_ / "out.txt",
                     folder_ / "err.txt");
  EXPECT_EQ(fleet.Wait(300s), kExitFailed) << TextOf(folder_ / "err.txt");

  const std::vector<Json> lines = Lines();
  ASSERT_EQ(lines.size(), readers.size() + 1) << TextOf(folder_ / "out.txt");
  for (std::size_t i = 0; i < readers.size(); ++i) {
    SCOPED_TRACE(readers[i]);
    EXPECT_EQ(lines[i]["reader"], readers[i]);
    EXPECT_EQ(lines[i]["name"], "sim-" + std::to_string(i + 1));
    const bool fails = unreachable.count(readers[i]) > 0 || readers[i] == broken;
    EXPECT_EQ(lines[i]["result"], fails ? "failed" : "ok") << lines[i].dump();
    if (unreachable.count(readers[i]) > 0) {
      EXPECT_EQ(lines[i]["serialNumber"], "");
      continue;
    }
    // A reader that answered names itself, and only the survivors hold the profile.
    EXPECT_NE(lines[i]["serialNumber"], "");
    const SimState state = State(readers[i]);
    EXPECT_EQ(HoldsProfile(state), !fails);
    if (fails) {
      EXPECT_TRUE(state == worn);
    }
  }
  const Json summary = lines.back()["summary"];
  EXPECT_EQ(summary["ok"], 16);
  EXPECT_EQ(summary["failed"], 4);

  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), readers.size() + 1);
  EXPECT_EQ(log[0], kStationLogHeader);
  std::size_t ok = 0;
  for (std::size_t i = 1; i < log.size(); ++i) {
    EXPECT_EQ(std::count(log[i].begin(), log[i].end(), ','), 6) << log[i];
    ok += log[i].ends_with(",ok,0") ? 1 : 0;
  }
  EXPECT_EQ(ok, 16u);
}

// Export names each profile by its reader's serial number; a second reader with the same number
// is refused rather than overwriting the first's, and no partial file is left.
TEST_F(FleetProcess, ExportWritesOneProfilePerSerialNumber) {
  const std::vector<std::string> readers = MakeReaders(3);
  SimState twin = State(readers[2]);
  twin.serial = State(readers[1]).serial;
  std::string error;
  ASSERT_TRUE(WriteSimStateFile(StateFile(readers[2]), twin, error)) << error;
  const fs::path profiles = folder_.Path() / Utf8Path("档案 1");
  ChildProcess fleet(
      {NativePath(READERCTL), "--driver", NativePath(SIM_LIBRARY), "--json", "fleet", "--readers",
       (folder_ / "readers.txt").string(), "export", PathText(profiles)},
      Env(), folder_ / "out.txt", folder_ / "err.txt");
  EXPECT_EQ(fleet.Wait(120s), kExitFailed) << TextOf(folder_ / "err.txt");
  const std::vector<Json> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(profiles)) {
    written.insert(PathText(entry.path().filename()));
  }
  // The twins run at once: whichever finishes first keeps the name.
  std::set<std::string> expected;
  int failed = 0;
  for (std::size_t i = 0; i < readers.size(); ++i) {
    if (lines[i]["result"] != "ok") {
      EXPECT_NE(i, 0u) << lines[i].dump();
      EXPECT_EQ(lines[i]["result"], "failed") << lines[i].dump();
      ++failed;
      continue;
    }
    const std::string serial = lines[i]["serialNumber"];
    ASSERT_TRUE(serial.starts_with("SN:")) << serial;
    const std::string name = serial.substr(3) + ".ini";
    expected.insert(name);
    EXPECT_NE(TextOf(profiles / name).find(serial), std::string::npos) << name;
  }
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(written, expected);
}

#ifndef _WIN32
// Ctrl+C at a terminal signals the whole foreground process group: the fleet starts no new reader
// and the running ones finish, so that every reader is untouched or holds the whole profile.
TEST_F(FleetProcess, CtrlCLeavesEveryReaderUntouchedOrHoldingTheWholeProfile) {
  const std::vector<std::string> readers = MakeReaders(20);
  std::vector<SimState> before;
  for (const std::string& address : readers) before.push_back(State(address));
  ChildEnvironment env = Env();
  env.emplace_back("TAGVANE_SIM_LATENCY_MS", "15");
  // A session of its own, as a terminal's job: its process group is the fleet's pid.
  std::vector<std::string> args = FleetArgs({"-j", "4"});
  args.insert(args.begin(), "/usr/bin/setsid");
  const pid_t pid = StartProcess(args, env, folder_ / "out.txt", folder_ / "err.txt");
  ASSERT_GT(pid, 0);
  // Once the first readers are done and the next ones are being written.
  Eventually([&] { return LogLines().size() >= 3; });
  std::this_thread::sleep_for(100ms);
  ASSERT_EQ(kill(-pid, SIGINT), 0);
  EXPECT_EQ(WaitProcess(pid), kExitFailed) << TextOf(folder_ / "err.txt");

  const std::vector<Json> lines = Lines();
  ASSERT_EQ(lines.size(), readers.size() + 1);
  std::size_t done = 0;
  std::size_t untouched = 0;
  for (std::size_t i = 0; i < readers.size(); ++i) {
    SCOPED_TRACE(readers[i]);
    const SimState state = State(readers[i]);
    const bool holds = HoldsProfile(state);
    EXPECT_TRUE(state == before[i] || holds);
    EXPECT_EQ(lines[i]["result"], holds ? "ok" : "not started") << lines[i].dump();
    done += holds ? 1 : 0;
    untouched += state == before[i] ? 1 : 0;
  }
  EXPECT_GE(done, 3u);
  EXPECT_GE(untouched, 1u);
  EXPECT_EQ(LogLines().size(), done + 1);  // the header and one line per reader taken
}
#endif

}  // namespace
}  // namespace uhf::cli::testing
