// uhf-readerctl station as a whole program against the drop-in simulated library: a stop signal
// lets the reader in progress finish. (Readers plugged in and out: StationAcceptanceTest.)
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "CompanionTestSupport.h"
#include "ProcessRunner.h"

namespace uhf::cli::testing {
namespace {

using namespace std::chrono_literals;

class StationProcess : public ::testing::Test {
 protected:
  Environment Env() const {
    return {{"LD_LIBRARY_PATH", RECORDING_LIBRARY_DIR},
            {"TAGVANE_SIM_STATE", (folder_ / "reader.ini").string()},
            {"TAGVANE_SIM_RECORD", (folder_ / "calls.txt").string()}};
  }
  // tagvane-sim with the same state file; its output.
  std::string Sim(std::vector<std::string> args) const {
    args.insert(args.begin(), SIM_TOOL);
    const ProcessResult result = RunProcess(args, Env(), folder_ / "sim");
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return result.out.substr(0, result.out.find('\n'));
  }
  pid_t Start(std::vector<std::string> args, Environment env) const {
    args.insert(args.begin(), READERCTL);
    return StartProcess(args, env, folder_ / "out.txt", folder_ / "err.txt", folder_.Path());
  }
  std::vector<nlohmann::json> Lines() const {
    std::vector<nlohmann::json> lines;
    std::istringstream text(FileText(folder_ / "out.txt"));
    for (std::string line; std::getline(text, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }
  // Waits up to 30 s for `done`.
  static bool Eventually(const std::function<bool()>& done) {
    for (auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(10ms)) {
      if (done()) return true;
    }
    return false;
  }
  // The exit status, or -1 when the program has not ended within 30 s (it is ended then).
  static int Wait(pid_t pid) {
    int status = 0;
    if (!Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
      kill(pid, SIGKILL);
      WaitProcess(pid);
      return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  void SetUp() override { std::filesystem::create_directories(folder_ / "sim"); }

  TempFolder folder_;
};

TEST_F(StationProcess, SigtermFinishesTheReaderInProgressAndWritesItsLine) {
  Sim({"new-reader", "--settings", "non-factory"});
  Environment env = Env();
  env.emplace_back("TAGVANE_SIM_LATENCY_MS", "20");  // a reader takes about a second
  const pid_t station = Start({"--json", "station", "--factory-default", "--poll-ms", "20"}, env);
  ASSERT_TRUE(Eventually([&] {
    return FileText(folder_ / "calls.txt").find("UhfFactoryDefault") != std::string::npos;
  }));
  kill(station, SIGTERM);
  EXPECT_EQ(Wait(station), kExitOk) << FileText(folder_ / "err.txt");
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["result"], "ok");
  // The reset ran to its end, then the read back, then the link was closed.
  const std::string calls = FileText(folder_ / "calls.txt");
  EXPECT_NE(calls.find("UhfSetOutPower"), std::string::npos);
  EXPECT_EQ(calls.substr(calls.rfind("UhfGetFrequencyRegion")).find("CloseCom() -> 0"),
            calls.substr(calls.rfind("UhfGetFrequencyRegion")).find('\n') + 1);
}

}  // namespace
}  // namespace uhf::cli::testing
