#pragma once
// uhf-readerctl run as a whole program in a test's temporary folder: its command line with a
// driver library, JSON lines and a station log, and what the run left in the folder. The test
// target defines READERCTL, the program's path.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "CompanionTestSupport.h"

namespace uhf::cli::testing {

class ReaderctlRun : public ::testing::Test {
 protected:
  // The program with `library` as its driver, JSON lines out and the station log in the folder,
  // then the command and its arguments.
  std::vector<std::string> ReaderctlArgs(const std::string& library,
                                         const std::vector<std::string>& command) const {
    std::vector<std::string> args = {NativePath(READERCTL), "--driver",
                                     NativePath(library),   "--json",
                                     "--station-log",       (folder_ / "station.csv").string()};
    args.insert(args.end(), command.begin(), command.end());
    return args;
  }
  // The JSON lines of out.txt.
  std::vector<nlohmann::json> Lines() const {
    std::vector<nlohmann::json> lines;
    for (const std::string& line : LinesOf(folder_ / "out.txt")) {
      if (!line.empty()) lines.push_back(nlohmann::json::parse(line));
    }
    return lines;
  }
  std::vector<std::string> LogLines() const { return LinesOf(folder_ / "station.csv"); }
  // Waits up to 60 s (Wine starts programs slowly) for `done`.
  static bool Eventually(const std::function<bool()>& done) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
      if (done()) return true;
    }
    return false;
  }

  TempFolder folder_;
};

}  // namespace uhf::cli::testing
