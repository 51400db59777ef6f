// uhf-readerctl station as a whole program, on Linux and (the Windows build) under Wine: the
// simulated driver library named with --driver, readers plugged in and out by tagvane-sim.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <thread>

#include "ReaderctlRun.h"
#include "cli/StationLog.h"
#include "dialog/InterfaceText.h"

namespace uhf::cli::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

class StationAcceptance : public ReaderctlRun {
 protected:
  ChildEnvironment Env() const {
    return {{"TAGVANE_SIM_STATE", (folder_ / "reader.ini").string()},
            {"TAGVANE_SIM_RECORD", (folder_ / "calls.txt").string()}};
  }
  // tagvane-sim on the same state file; the first line of its output (a new reader's serial).
  std::string Sim(const std::vector<std::string>& args) const {
    std::vector<std::string> command = {NativePath(SIM_TOOL)};
    command.insert(command.end(), args.begin(), args.end());
    ChildProcess sim(command, Env(), folder_ / "sim-out.txt", folder_ / "sim-err.txt");
    EXPECT_EQ(sim.Wait(60s), 0) << TextOf(folder_ / "sim-err.txt");
    const std::string out = TextOf(folder_ / "sim-out.txt");
    std::string first = out.substr(0, out.find('\n'));
    if (!first.empty() && first.back() == '\r') first.pop_back();
    return first;
  }
  std::size_t Calls(const std::string& name) const {
    const std::string calls = TextOf(folder_ / "calls.txt");
    std::size_t count = 0;
    for (std::size_t at = 0; (at = calls.find(name + "(", at)) != std::string::npos; ++at) ++count;
    return count;
  }
};

TEST_F(StationAcceptance, ThreeReadersGiveThreeOkLinesAndOneLeftAttachedOnlyOne) {
  std::vector<std::string> serials = {Sim({"new-reader", "--settings", "non-factory"})};
  ChildProcess station(ReaderctlArgs(SIM_LIBRARY, {"station", "--factory-default", "--count", "3",
                                                   "--poll-ms", "20"}),
                       Env(), folder_ / "out.txt", folder_ / "err.txt");
  ASSERT_TRUE(station.Started());
  for (const char* kind : {"1", "2"}) {
    const std::size_t taken = serials.size();
    ASSERT_TRUE(Eventually([&] { return Lines().size() == taken; })) << TextOf(folder_ / "err.txt");
    // Many polls while the reader stays: still one line, one reset.
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(Lines().size(), taken);
    EXPECT_EQ(Calls("UhfFactoryDefault"), taken);
    Sim({"detach"});
    serials.push_back(Sim({"new-reader", "--kind", kind, "--settings", "non-factory"}));
  }
  EXPECT_EQ(station.Wait(60s), kExitOk) << TextOf(folder_ / "err.txt");

  const std::vector<Json> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i]["result"], "ok") << lines[i].dump();
    EXPECT_EQ(lines[i]["serialNumber"], serials[i]);
  }
  EXPECT_EQ(Calls("UhfFactoryDefault"), 3u);
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], kStationColumnsHeader);
  for (std::size_t i = 1; i < log.size(); ++i) {
    EXPECT_NE(log[i].find("," + serials[i - 1] + ","), std::string::npos) << log[i];
    EXPECT_NE(log[i].find(",ok,0,"), std::string::npos) << log[i];
  }
}

TEST_F(StationAcceptance, AFailingWriteIsFailedWithTheWindowsMessageAndExitOne) {
  Sim({"new-reader"});
  ChildEnvironment env = Env();
  env.emplace_back("TAGVANE_SIM_FAIL", "UhfSetWgOutByte");
  ChildProcess station(ReaderctlArgs(SIM_LIBRARY, {"station", "--factory-default", "--count", "1"}),
                       env, folder_ / "out.txt", folder_ / "err.txt");
  EXPECT_EQ(station.Wait(60s), kExitFailed) << TextOf(folder_ / "err.txt");
  const std::vector<Json> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["result"], "failed");
  EXPECT_EQ(lines[0]["operation"], "factory default");
  const std::string error = lines[0]["error"];
  EXPECT_NE(error.find(DefaultInterfaceText().MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL),
            std::string::npos)
      << error;
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NE(log[1].find(",failed,1,"), std::string::npos) << log[1];
}

TEST_F(StationAcceptance, AValueTheReaderDoesNotKeepDiffersAndExitsFour) {
  Sim({"new-reader"});  // the buzzer on, as from the factory
  WriteBytes(folder_ / "line.ini", "[reader]\nbuzzer=0\n");
  ChildEnvironment env = Env();
  env.emplace_back("TAGVANE_SIM_FORGET", "UhfSetBuzzer");
  ChildProcess station(
      ReaderctlArgs(FORGETFUL_LIBRARY,
                    {"station", "--apply", (folder_ / "line.ini").string(), "--count", "1"}),
      env, folder_ / "out.txt", folder_ / "err.txt");
  EXPECT_EQ(station.Wait(60s), kExitDiffers) << TextOf(folder_ / "err.txt");
  const std::vector<Json> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["result"], "differs");
  ASSERT_EQ(lines[0]["differences"].size(), 1u) << lines[0].dump();
  EXPECT_EQ(lines[0]["differences"][0]["setting"], "buzzer");
  EXPECT_EQ(lines[0]["differences"][0]["wanted"], "0");
  EXPECT_EQ(lines[0]["differences"][0]["read"], "1");
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NE(log[1].find(",differs,4,buzzer wanted 0 read 1,"), std::string::npos) << log[1];
}

}  // namespace
}  // namespace uhf::cli::testing
