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
#include "cli/FleetList.h"

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

// Children that end after a scripted time (or never) with a scripted status, each leaving a
// station log line as the companion would.
struct Script {
  int status = 0;
  std::chrono::milliseconds takes = 10ms;  // negative: never ends
};

struct Scheduler {
  std::chrono::steady_clock::time_point now{};
  std::map<std::string, Script> scripts;  // by reader address; others: ok in 10 ms
  int running = 0;
  int mostRunning = 0;
  int killed = 0;
  std::vector<std::string> started;
};

class FakeChild final : public FleetChild {
 public:
  FakeChild(Scheduler& s, Script script) : s_(s), script_(script), end_(s.now + script.takes) {
    s_.mostRunning = std::max(s_.mostRunning, ++s_.running);
  }
  std::optional<int> Poll() override {
    if (!ended_ && script_.takes >= 0ms && s_.now >= end_) End(script_.status);
    return status_;
  }
  void Kill() override {
    ++s_.killed;
    End(137);
  }

 private:
  void End(int status) {
    ended_ = true;
    status_ = status;
    --s_.running;
  }
  Scheduler& s_;
  Script script_;
  std::chrono::steady_clock::time_point end_;
  bool ended_ = false;
  std::optional<int> status_;
};

TEST(Fleet, ChildrenRunAtMostNAtOnceAndTheLateOnesAreEnded) {
  const fs::path folder =
      fs::temp_directory_path() / ("uhf-fleet-test-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  std::ofstream(folder / "readers.txt") << "10.0.0.1:1\n10.0.0.2:1\n10.0.0.3:1\n10.0.0.4:1\n"
                                           "10.0.0.5:1\n10.0.0.6:1\n10.0.0.7:1\n";
  struct Row {
    const char* what;
    int parallel;
    std::map<std::string, Script> scripts;
    int stopAfterStarts;  // 0: never asked to stop
    int exitStatus;
    int started;
    int killed;
    std::map<std::string, std::string> results;  // by reader
  };
  const Row rows[] = {
      {"all ok, two at once", 2, {}, 0, 0, 7, 0, {{"10.0.0.7:1", "ok"}}},
      {"all ok, more slots than readers", 16, {}, 0, 0, 7, 0, {}},
      {"one never answers",
       3,
       {{"10.0.0.2:1", {0, -1ms}}},
       0,
       1,
       7,
       1,
       {{"10.0.0.2:1", "failed"}, {"10.0.0.3:1", "ok"}}},
      {"one differs", 4, {{"10.0.0.5:1", {4, 5ms}}}, 0, 4, 7, 0, {{"10.0.0.5:1", "differs"}}},
      {"one differs, one fails",
       4,
       {{"10.0.0.5:1", {4, 5ms}}, {"10.0.0.6:1", {1, 5ms}}},
       0,
       1,
       7,
       0,
       {{"10.0.0.6:1", "failed"}}},
      {"a stop starts no new reader",
       3,
       {},
       3,
       1,
       3,
       0,
       {{"10.0.0.3:1", "ok"}, {"10.0.0.4:1", "not started"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scheduler s;
    s.scripts = row.scripts;
    FleetHooks hooks;
    hooks.now = [&] { return s.now; };
    hooks.sleep = [&](std::chrono::milliseconds d) { s.now += d; };
    hooks.stopRequested = [&] {
      return row.stopAfterStarts > 0 && static_cast<int>(s.started.size()) >= row.stopAfterStarts;
    };
    hooks.start = [&](const std::vector<std::string>& args, const fs::path&, const fs::path&,
                      std::string&) -> std::unique_ptr<FleetChild> {
      const auto at = [&](const std::string& option) {
        return *(std::find(args.begin(), args.end(), option) + 1);
      };
      const std::string reader = at("--reader");
      s.started.push_back(reader);
      const auto script = s.scripts.find(reader);
      const Script scripted = script != s.scripts.end() ? script->second : Script{};
      std::ofstream(at("--station-log")) << "t,read,tcp " << reader << ",SN:" << reader << ",v,"
                                         << "x," << scripted.status << "\n";
      return std::make_unique<FakeChild>(s, scripted);
    };
    FleetOptions options;
    options.readers = folder / "readers.txt";
    options.parallel = row.parallel;
    options.timeout = 1000ms;
    options.program = "uhf-readerctl";
    options.json = true;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunFleet(options, hooks, out, err), row.exitStatus) << err.str();
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
    for (int i = 0; i < 7; ++i) {
      const std::string reader = "10.0.0." + std::to_string(i + 1) + ":1";
      EXPECT_EQ(objects[i]["reader"], reader);
      if (const auto expected = row.results.find(reader); expected != row.results.end()) {
        EXPECT_EQ(objects[i]["result"], expected->second) << reader;
      }
      if (objects[i]["result"] != "not started") {
        EXPECT_EQ(objects[i]["serialNumber"], "SN:" + reader);
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
