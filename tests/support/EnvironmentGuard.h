#pragma once
// Saves environment variables and restores them when the test is done.
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#ifdef _WIN32
#include "support/PosixEnv_win.h"
#endif

namespace uhf::test {

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

}  // namespace uhf::test
