// uhf-readerctl as a whole program: the driver library found on the search path, its exit
// statuses, and what it links.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CompanionTestSupport.h"
#include "ProcessRunner.h"
#include "cli/StationLog.h"
#include "sim/SimStateFile.h"

namespace uhf::cli::testing {
namespace {

class CompanionProcess : public ::testing::Test {
 protected:
  // The recording copy of the simulated library comes first on the search path; it appends
  // every call to the record file.
  Environment Env(const std::string& failing = {}) const {
    Environment env = {{"LD_LIBRARY_PATH", RECORDING_LIBRARY_DIR},
                       {"TAGVANE_SIM_STATE", (folder_ / "reader.ini").string()},
                       {"TAGVANE_SIM_RECORD", (folder_ / "calls.txt").string()}};
    if (!failing.empty()) env.emplace_back("TAGVANE_SIM_FAIL", failing);
    return env;
  }
  std::vector<std::string> Recorded() const {
    std::vector<std::string> calls;
    std::istringstream lines(FileText(folder_ / "calls.txt"));
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
    return calls;
  }
  ProcessResult Run(std::vector<std::string> args, const Environment& env) const {
    args.insert(args.begin(), READERCTL);
    return RunProcess(args, env, folder_.Path(), folder_.Path());
  }

  TempFolder folder_;
};

TEST_F(CompanionProcess, ReadJsonMakesTheWindowsSequenceWithTheRecordingLibrary) {
  SimState st = FactoryState(0, false);
  st.version = "REC-V1.23";
  st.serial = {0xde, 0xad, 0xbe, 0xef, 0, 0, 0, 0, 0, 0, 0, 0x42};
  st.passwordEnabled = 1;
  st.password = {0x12, 0x34, 0xab, 0xcd};
  st.regionStart = 910000;
  st.regionEnd = 915000;
  st.regionCount = 10;
  std::string error;
  ASSERT_TRUE(WriteSimStateFile(folder_ / "reader.ini", st, error)) << error;

  const ProcessResult result = Run({"read", "--json"}, Env());
  ASSERT_EQ(result.exitStatus, kExitOk) << result.err;

  std::vector<std::string> expected;
  for (const std::string& call : WindowReadCalls()) expected.push_back(call + " -> 0");
  EXPECT_EQ(Recorded(), expected);

  const nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["versionText"], "REC-V1.23");
  EXPECT_EQ(json["serialNumberText"], "SN:deadbeef0000000000000042");
  EXPECT_EQ(json["checkPassword"], "1234abcd");
  EXPECT_EQ(json["passwordEnabled"], true);
  EXPECT_EQ(json["frequencyPlan"]["start"], 910000);
  EXPECT_EQ(json["frequencyPlan"]["end"], 915000);

  // --version names the library the search found: the recording copy, a simulated reader.
  const ProcessResult version = Run({"--version"}, Env());
  EXPECT_EQ(version.exitStatus, kExitOk);
  EXPECT_NE(version.out.find(std::string(RECORDING_LIBRARY_DIR) +
                             "/libtagvane.so (the simulated reader)"),
            std::string::npos)
      << version.out;
}

TEST_F(CompanionProcess, FailingOpenComIsExitOneWithTheStatusText) {
  const ProcessResult result = Run({"read", "--json"}, Env("OpenCom"));
  EXPECT_EQ(result.exitStatus, kExitFailed);
  EXPECT_NE(result.err.find("连接失败"), std::string::npos) << result.err;
  EXPECT_EQ(Recorded(), std::vector<std::string>{"OpenCom(100,115200) -> 1"});
}

TEST_F(CompanionProcess, ExitStatusesOfUsageAndBinding) {
  EXPECT_EQ(Run({}, Env()).exitStatus, kExitUsage);
  EXPECT_EQ(Run({"frobnicate"}, Env()).exitStatus, kExitUsage);
  EXPECT_EQ(Run({"--link", "serial", "read"}, Env()).exitStatus, kExitUsage);
  EXPECT_EQ(Run({"--port", "3", "read"}, Env()).exitStatus, kExitUsage);
  EXPECT_EQ(Run({"--link", "serial", "--port", "3", "--baud", "1200", "read"}, Env()).exitStatus,
            kExitUsage);
  EXPECT_EQ(Run({"address", "set", "256"}, Env()).exitStatus, kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "calls.txt"));  // nothing reached the driver

  const ProcessResult unbound = Run({"--driver", (folder_ / "none.so").string(), "read"}, Env());
  EXPECT_EQ(unbound.exitStatus, kExitNoDriver);
  EXPECT_NE(unbound.err.find("none.so"), std::string::npos) << unbound.err;

  const ProcessResult help = Run({"apply", "--help"}, Env());
  EXPECT_EQ(help.exitStatus, kExitOk);
  EXPECT_NE(help.out.find("4  apply wrote the profile but the read-back differs"),
            std::string::npos)
      << help.out;
}

TEST_F(CompanionProcess, DriverOptionBindsThatFileAndLogsGoWhereAsked) {
  // The default search would find the recording copy; --driver binds exactly the file named.
  const ProcessResult stub = Run({"--driver", STUB_LIBRARY, "--version"}, Env());
  EXPECT_EQ(stub.exitStatus, kExitOk) << stub.err;
  EXPECT_NE(stub.out.find(std::string(STUB_LIBRARY) + " (not the simulated reader)"),
            std::string::npos)
      << stub.out;
  const std::string own = (std::filesystem::path(READERCTL).parent_path() / "libtagvane.so");

  const ProcessResult read =
      Run({"--driver", own, "--log", "exchange.log", "--station-log", "station.csv", "read"},
          {{"TAGVANE_SIM_STATE", (folder_ / "reader.ini").string()}});
  ASSERT_EQ(read.exitStatus, kExitOk) << read.err;
  std::istringstream log(FileText(folder_ / "exchange.log"));
  std::vector<std::string> operations;
  for (std::string line; std::getline(log, line);) {
    // "date time Operation(args) -> status outputs"
    const std::size_t start = line.find(' ', line.find(' ') + 1) + 1;
    operations.push_back(line.substr(start, line.find('(') - start));
  }
  std::vector<std::string> expected;
  for (const std::string& call : WindowReadCalls())
    expected.push_back(call.substr(0, call.find('(')));
  EXPECT_EQ(operations, expected);

  const std::string station = FileText(folder_ / "station.csv");
  EXPECT_EQ(station.substr(0, station.find('\n')), kStationLogHeader);
  EXPECT_NE(station.find(",read,usb,SN:20261207000aff513c000001,TVW-SIM V2.06,ok,0\n"),
            std::string::npos)
      << station;
}

}  // namespace
}  // namespace uhf::cli::testing
