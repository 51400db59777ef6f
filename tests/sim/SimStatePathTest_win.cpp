// Where the simulated reader keeps its state by default on Windows.
#include <gtest/gtest.h>

#include <cstdlib>

#include "sim/SimStateStore.h"
#include "sim/SimulatedReader.h"
#include "support/EnvironmentGuard.h"
#include "support/TempDir.h"

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

TEST(SimStatePath, ALocalApplicationDataOutsideTheAnsiCodePageIsKeptWhole) {
  EnvironmentGuard guard({"TAGVANE_SIM_STATE", "XDG_STATE_HOME", "LOCALAPPDATA"});
  unsetenv("TAGVANE_SIM_STATE");
  unsetenv("XDG_STATE_HOME");
  test::TempDir dir("uhf-sim-path");
  // A user folder with a Chinese name, as the system's own environment block holds it.
  const std::filesystem::path base = dir.path() / L"\u7528\u6237" / L"AppData" / L"Local";
  ASSERT_EQ(_wputenv_s(L"LOCALAPPDATA", base.c_str()), 0);
  const std::filesystem::path expected = base / "tagvane-sim" / "reader.ini";
  EXPECT_EQ(DefaultStatePath().wstring(), expected.wstring());

  // The state is written there, the folder made on the way.
  SimStateStore store(DefaultStatePath(), FactoryState(0, false));
  EXPECT_EQ(store.Modify(
                [](SimState& state) {
                  state.outPower = 21;
                  return 0;
                },
                -1),
            0);
  EXPECT_TRUE(std::filesystem::is_regular_file(expected));
  SimStateStore again(expected, FactoryState(0, false));
  EXPECT_EQ(again.State().outPower, 21);
}

}  // namespace
}  // namespace uhf
