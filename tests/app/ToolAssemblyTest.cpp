// The tool as both platforms' mains assemble it: the driver bound by the platform's search,
// behind the exchange log when UHF_EXCHANGE_LOG names a file, and the caption naming the
// simulated reader.
#include "app/ToolAssembly.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "support/EnvironmentGuard.h"
#include "support/RecordingDriver.h"
#include "support/TempDir.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

// A platform whose window is the in-memory surface: it reads the configuration once, recording
// the calls its driver answered.
class ReadOnce final : public ToolPlatform {
 public:
  void ReportStartFailure(const std::string& error) override { failures.push_back(error); }
  void RunWindow(ReaderDriver& driver, const std::string& shownCaption) override {
    testing::RecordingDriver recording(driver);
    MemorySurface surface(MainDialogTemplate());
    WiredDialog dialog(surface, recording, DialogPlatform{});
    surface.Click(idc::ReadConfig);
    calls = recording.Calls();
    caption = shownCaption;
  }

  std::vector<std::string> failures;
  std::vector<testing::RecordingDriver::Call> calls;
  std::string caption;
};

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ToolAssembly, ExchangeLogHoldsEveryCallOfTheWindowWhenAskedFor) {
  test::EnvironmentGuard guard({"UHF_EXCHANGE_LOG", "TAGVANE_SIM_STATE"});
  test::TempDir dir("uhf-assembly");
  setenv("TAGVANE_SIM_STATE", (dir.path() / "reader.ini").string().c_str(), 1);
  // A folder name outside any ANSI code page: on Windows the variable is read whole.
  const std::filesystem::path folder = dir.path() / std::filesystem::path(u8"\u65e5\u5fd7");
  std::filesystem::create_directories(folder);
  const std::filesystem::path log = folder / "exchange.log";

  for (bool logged : {false, true}) {
    SCOPED_TRACE(logged ? "with UHF_EXCHANGE_LOG" : "without");
    if (logged) {
#ifdef _WIN32
      ASSERT_EQ(_wputenv_s(L"UHF_EXCHANGE_LOG", log.c_str()), 0);
#else
      setenv("UHF_EXCHANGE_LOG", log.c_str(), 1);
#endif
    } else {
      unsetenv("UHF_EXCHANGE_LOG");
    }
    ReadOnce platform;
    ASSERT_EQ(RunTool(platform), 0);
    EXPECT_TRUE(platform.failures.empty());
    // The build's own library is the simulated reader, and the caption says so.
    EXPECT_EQ(platform.caption, std::string(kAppTitle) + std::string(kSimulatedCaptionSuffix));
    ASSERT_GT(platform.calls.size(), 2u);
    EXPECT_TRUE(std::all_of(platform.calls.begin(), platform.calls.end(),
                            [](const auto& call) { return call.status == 0; }));

    if (!logged) {
      EXPECT_FALSE(std::filesystem::exists(log));
      continue;
    }
    // One line per call, in order, each with the status the window got:
    // "YYYY-MM-DD hh:mm:ss.mmm Operation(...) -> status ...".
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), platform.calls.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string call = lines[i].substr(24);
      EXPECT_EQ(call.substr(0, call.find('(')), platform.calls[i].name) << lines[i];
      EXPECT_NE(call.find(") -> " + std::to_string(platform.calls[i].status)), std::string::npos)
          << lines[i];
    }
  }
}

}  // namespace
}  // namespace uhf
