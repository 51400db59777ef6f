// Where the simulated reader keeps its state by default on Windows.
#include <gtest/gtest.h>

#include "sim/SimulatedReader.h"
#include "support/EnvironmentGuard.h"

namespace uhf {
namespace {

using test::EnvironmentGuard;

TEST(SimStatePath, LocalApplicationDataOnWindows) {
  EnvironmentGuard guard({"TAGVANE_SIM_STATE", "XDG_STATE_HOME", "LOCALAPPDATA", "HOME"});
  unsetenv("XDG_STATE_HOME");
  setenv("HOME", "C:\\Users\\op", 1);
  setenv("LOCALAPPDATA", "C:\\Users\\op\\AppData\\Local", 1);
  setenv("TAGVANE_SIM_STATE", "D:\\state\\reader.ini", 1);
  EXPECT_EQ(DefaultStatePath(), std::filesystem::path("D:\\state\\reader.ini"));
  unsetenv("TAGVANE_SIM_STATE");
  EXPECT_EQ(DefaultStatePath(),
            std::filesystem::path("C:\\Users\\op\\AppData\\Local\\tagvane-sim\\reader.ini"));
  setenv("LOCALAPPDATA", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(DefaultStatePath(),
            std::filesystem::path("C:\\Users\\op\\.local\\state\\tagvane-sim\\reader.ini"));
}

}  // namespace
}  // namespace uhf
