// Where the simulated reader keeps its state by default.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim/SimulatedReader.h"
#include "support/EnvironmentGuard.h"

namespace uhf {
namespace {

using test::EnvironmentGuard;

TEST(SimStatePath, EnvironmentDecidesWhereTheStateLives) {
  EnvironmentGuard guard({"TAGVANE_SIM_STATE", "XDG_STATE_HOME", "LOCALAPPDATA", "HOME"});
  unsetenv("LOCALAPPDATA");
  setenv("TAGVANE_SIM_STATE", "/tmp/a/reader.ini", 1);
  setenv("XDG_STATE_HOME", "/var/state", 1);
  setenv("HOME", "/home/op", 1);
  EXPECT_EQ(DefaultStatePath(), "/tmp/a/reader.ini");
  setenv("TAGVANE_SIM_STATE", "", 1);
  EXPECT_EQ(DefaultStatePath(), "/var/state/tagvane-sim/reader.ini");
  setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(DefaultStatePath(), "/home/op/.local/state/tagvane-sim/reader.ini");
  unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(DefaultStatePath(), "/home/op/.local/state/tagvane-sim/reader.ini");
  unsetenv("HOME");
  EXPECT_TRUE(DefaultStatePath().empty());
}

}  // namespace
}  // namespace uhf
