// Where the simulated reader keeps its state by default.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim/SimulatedReader.h"

namespace uhf {
namespace {

class EnvironmentGuard {
 public:
  explicit EnvironmentGuard(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value != nullptr, value != nullptr ? value : ""});
    }
  }
  ~EnvironmentGuard() {
    for (const auto& [name, present, value] : saved_) {
      if (present) {
        setenv(name, value.c_str(), 1);
      } else {
        unsetenv(name);
      }
    }
  }

 private:
  struct Saved {
    const char* name;
    bool present;
    std::string value;
  };
  std::vector<Saved> saved_;
};

TEST(SimStatePath, EnvironmentDecidesWhereTheStateLives) {
  EnvironmentGuard guard({"TAGVANE_SIM_STATE", "XDG_STATE_HOME", "HOME"});
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
