#pragma once
// A decorator that passes every call on to another driver and records the operation's name and
// the status it returned: lets a test judge what the window showed against what the driver
// answered, whatever the driver is (a library bound at run time included).

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf::testing {

class RecordingDriver final : public ReaderDriver {
 public:
  struct Call {
    std::string name;
    std::int32_t status;
  };

  explicit RecordingDriver(ReaderDriver& inner) : inner_(inner) {}

  const std::vector<Call>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  bool AllSucceeded() const {
    return std::all_of(calls_.begin(), calls_.end(), [](const Call& c) { return c.status == 0; });
  }

#define UHF_RECORDED_OPERATION(ret, name, params, args) \
  ret name params override {                            \
    return Note(#name, inner_.name args);               \
  }
  TAGVANE_OPERATIONS(UHF_RECORDED_OPERATION)
#undef UHF_RECORDED_OPERATION

 private:
  std::int32_t Note(const char* name, std::int32_t status) {
    calls_.push_back({name, status});
    return status;
  }

  ReaderDriver& inner_;
  std::vector<Call> calls_;
};

}  // namespace uhf::testing
