#pragma once
// The companion's commands run in-process against the simulated reader, with a temporary folder
// for profiles and config.ini, and the output and errors captured.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/ReaderConfigDialog.h"
#include "cli/Commands.h"
#include "reader/ReaderTestSupport.h"
#include "sim/InstrumentedReader.h"

namespace uhf::cli::testing {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / ("uhf-cli-" + std::string(info->test_suite_name()) + "-" +
                                         info->name() + "-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct CommandRun {
  CommandReport report;
  std::string out;
  std::string err;
};

// A machine with no serial port, a fixed own address and config.ini in `folder`.
inline DialogPlatform TestPlatform(const fs::path& folder) {
  return {[] { return std::vector<AvailablePort>{}; }, [] { return std::string("192.168.1.2"); },
          [folder]() -> std::optional<fs::path> { return folder / "config.ini"; }};
}

inline CommandRun RunIt(const Invocation& invocation, ReaderDriver& driver,
                        const fs::path& folder) {
  std::ostringstream out;
  std::ostringstream err;
  CommandRun run;
  run.report = RunCommand(invocation, driver, TestPlatform(folder), out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline Invocation Command(std::string name) {
  Invocation invocation;
  invocation.command = std::move(name);
  return invocation;
}

// The calls the window's read makes over the USB link.
inline std::vector<std::string> WindowReadCalls() {
  return uhf::testing::UsbReadCalls();
}

// A companion process leaves the link open when it ends and the system closes it; one reader
// object serving several runs in a test closes it here, and forgets the calls.
inline void ProcessEnded(InstrumentedReader& reader) {
  reader.CloseCom();
  reader.ClearCalls();
}

// Whether any recorded call writes to the reader.
inline bool AnyWrite(const std::vector<std::string>& calls) {
  for (const std::string& call : calls) {
    if (call.rfind("UhfSet", 0) == 0 || call.rfind("UhfFactoryDefault", 0) == 0) return true;
  }
  return false;
}

}  // namespace uhf::cli::testing
