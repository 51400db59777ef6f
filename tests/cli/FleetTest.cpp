// The fleet's pieces without processes: the reader list, the Windows quoting of a child's
// arguments, and the scheduling of children (fake ones on a fake clock).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "cli/Fleet.h"
#include "cli/FleetChild.h"
#include "cli/FleetList.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace uhf::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(FleetList, MalformedLinesAreRefusedWithTheirNumber) {
  struct Row {
    const char* text;
    const char* error;  // empty: accepted
  };
  const Row rows[] = {
      {"# two readers\n\n10.0.0.1:27001 door east\r\n  10.0.0.2:27001\t# hall\n", ""},
      {"10.0.0.1:27001\n10.0.0.2\n", "line 2: \"10.0.0.2\" is no IP:PORT"},
      {"10.0.0.1:27001\n\n# x\n10.0.0.256:27001\n", "line 4: \"10.0.0.256\" is no IP address"},
      {"10.0.0:27001\n", "line 1: \"10.0.0\" is no IP address"},
      {"10.0.0.1:0\n", "line 1: \"0\" is no port (1 to 65535)"},
      {"10.0.0.1:65536\n", "line 1: \"65536\" is no port (1 to 65535)"},
      {"10.0.0.1:27001x name\n", "line 1: \"27001x\" is no port (1 to 65535)"},
      {"10.0.0.1: 27001\n", "line 1: \"\" is no port (1 to 65535)"},
      {"10.0.0.1:27001 a\n10.0.0.1:27001 b\n",
       "line 2: 10.0.0.1:27001 is listed already on line 1"},
      {"# nothing\n\n", "the list names no reader"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::string error;
    const auto readers = ParseReaderList(row.text, error);
    EXPECT_EQ(readers.has_value(), std::string(row.error).empty());
    EXPECT_EQ(error, row.error);
  }
  std::string error;
  const auto readers = ParseReaderList(rows[0].text, error);
  ASSERT_TRUE(readers);
  ASSERT_EQ(readers->size(), 2u);
  EXPECT_EQ((*readers)[0].Address(), "10.0.0.1:27001");
  EXPECT_EQ((*readers)[0].name, "door east");
  EXPECT_EQ((*readers)[0].line, 3);
  EXPECT_EQ((*readers)[1].name, "");
  EXPECT_EQ((*readers)[1].line, 4);
}

TEST(FleetChild, WindowsArgumentsAreQuotedForTheChildsParser) {
  const std::pair<const char*, const char*> rows[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"C:\\Program Files\\x.exe", "\"C:\\Program Files\\x.exe\""},
      {"C:\\dir\\", "C:\\dir\\"},
      {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"配置 文件.ini", "\"配置 文件.ini\""},
  };
  for (const auto& [argument, quoted] : rows) EXPECT_EQ(QuoteWindowsArgument(argument), quoted);
}

#ifndef _WIN32
// A stop signal sent to the fleet's group can reach a child that has not yet left it; the child
// still does its reader's work, as one that started a moment earlier would.
TEST(FleetChild, StopSignalsDoNotEndAChild) {
  const fs::path out = fs::temp_directory_path() / ("uhf-fleet-child-" + std::to_string(getpid()));
  std::string error;
  const std::unique_ptr<FleetChild> child =
      StartFleetChild({"/bin/sh", "-c", "kill -INT $$; kill -TERM $$; echo done"}, out, out, error);
  ASSERT_TRUE(child) << error;
  std::optional<int> status;
  for (int i = 0; i < 1000 && !(status = child->Poll()); ++i) WaitForFleetChildren(100ms);
  EXPECT_EQ(status, 0);
  std::ifstream file(out);
  std::string line;
  std::getline(file, line);
  EXPECT_EQ(line, "done");
  file.close();
  fs::remove(out);
}
#endif

struct Script {
  int status = 0;
  std::chrono::milliseconds takes = 10ms;  // negative: never ends
};

// The n-th reader of the test's list.
std::string Reader(int n) {
  return "10.0.0." + std::to_string(n) + ":1";
}

// Children that end after a scripted time (or never) with a scripted status, each leaving a
// station log line as the companion would, on a clock that only the fleet's waits advance.
struct FakeFleet {
  struct Child final : FleetChild {
    Child(FakeFleet& f, Script s) : fleet(f), script(s), end(f.now + s.takes) {
      fleet.mostRunning = std::max(fleet.mostRunning, ++fleet.running);
    }
    std::optional<int> Poll() override {
      if (!status && script.takes >= 0ms && fleet.now >= end) End(script.status);
      return status;
    }
    void Kill() override {
      ++fleet.killed;
      End(137);
    }
    void End(int s) {
      status = s;
      --fleet.running;
    }
    FakeFleet& fleet;
    const Script script;
    const std::chrono::steady_clock::time_point end;
    std::optional<int> status;
  };

  FleetHooks Hooks() {
    FleetHooks hooks;
    hooks.now = [this] { return now; };
    hooks.sleep = [this](std::chrono::milliseconds d) { now += d; };
    hooks.stopRequested = [this] {
      return stopAfterStarts > 0 && static_cast<int>(started.size()) >= stopAfterStarts;
    };
    hooks.start = [this](const std::vector<std::string>& args, const fs::path&, const fs::path&,
                         std::string&) -> std::unique_ptr<FleetChild> {
      const auto at = [&](const char* option) {
        return *(std::find(args.begin(), args.end(), option) + 1);
      };
      const std::string reader = started.emplace_back(at("--reader"));
      const Script script = scripts.contains(reader) ? scripts.at(reader) : Script{};
      std::ofstream(at("--station-log"))
          << "t,read,tcp " << reader << ",SN:" << reader << ",v,x," << script.status << "\n";
      return std::make_unique<Child>(*this, script);
    };
    return hooks;
  }

  std::map<std::string, Script> scripts{};  // by reader address; others: ok in 10 ms
  int stopAfterStarts = 0;                  // 0: never asked to stop
  std::chrono::steady_clock::time_point now{};
  int running = 0, mostRunning = 0, killed = 0;
  std::vector<std::string> started{};
};

TEST(Fleet, ChildrenRunAtMostNAtOnceAndTheLateOnesAreEnded) {
  const fs::path folder =
      fs::temp_directory_path() / ("uhf-fleet-test-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  std::ofstream list(folder / "readers.txt");
  for (int n = 1; n <= 7; ++n) list << Reader(n) << "\n";
  list.close();
  struct Row {
    const char* what;
    int parallel;
    std::map<int, Script> scripts;  // by reader
    int stopAfterStarts;            // 0: never asked to stop
    int exitStatus, started, killed;
    std::map<int, std::string> results;  // by reader
  };
  const Row rows[] = {
      {"all ok, two at once", 2, {}, 0, 0, 7, 0, {{7, "ok"}}},
      {"all ok, more slots than readers", 16, {}, 0, 0, 7, 0, {}},
      {"one never answers", 3, {{2, {0, -1ms}}}, 0, 1, 7, 1, {{2, "failed"}, {3, "ok"}}},
      {"one differs", 4, {{5, {4, 5ms}}}, 0, 4, 7, 0, {{5, "differs"}}},
      {"one differs, one fails", 4, {{5, {4, 5ms}}, {6, {1, 5ms}}}, 0, 1, 7, 0, {{6, "failed"}}},
      {"a stop starts no new reader", 3, {}, 3, 1, 3, 0, {{3, "ok"}, {4, "not started"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeFleet s{.stopAfterStarts = row.stopAfterStarts};
    for (const auto& [n, script] : row.scripts) s.scripts[Reader(n)] = script;
    FleetOptions options;
    options.readers = folder / "readers.txt";
    options.parallel = row.parallel;
    options.timeout = 1000ms;
    options.program = "uhf-readerctl";
    options.json = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunFleet(options, s.Hooks(), out, err), row.exitStatus) << err.str();
    EXPECT_EQ(static_cast<int>(s.started.size()), row.started);
    EXPECT_LE(s.mostRunning, row.parallel);
    EXPECT_EQ(s.mostRunning, std::min(row.parallel, row.started));
    EXPECT_EQ(s.killed, row.killed);
    EXPECT_EQ(s.running, 0);
    // One line per reader in the list's order, then the summary.
    std::istringstream lines(out.str());
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);)
      objects.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(objects.size(), 8u);
    for (int n = 1; n <= 7; ++n) {
      const nlohmann::json& object = objects[n - 1];
      EXPECT_EQ(object["reader"], Reader(n));
      if (row.results.contains(n)) {
        EXPECT_EQ(object["result"], row.results.at(n)) << Reader(n);
      }
      if (object["result"] != "not started") {
        EXPECT_EQ(object["serialNumber"], "SN:" + Reader(n));
      }
    }
    if (row.killed > 0) {
      EXPECT_EQ(objects[1]["error"], "no answer");
    }
    EXPECT_EQ(objects[7]["summary"]["readers"], 7);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace uhf::cli
