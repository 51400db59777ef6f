#pragma once
// A driver that passes every call on to another and notes the operation's name and the status it
// returned, in order: what an operation reports as the calls it made.

#include <cstdint>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf {

struct DriverCall {
  std::string name;
  std::int32_t status = 0;
  friend bool operator==(const DriverCall&, const DriverCall&) = default;
};

class CallLog final : public ReaderDriver {
 public:
  using Call = DriverCall;

  explicit CallLog(ReaderDriver& inner) : inner_(inner) {}

  const std::vector<DriverCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Whether every call so far returned 0.
  bool AllSucceeded() const;

#define UHF_LOGGED_OPERATION(ret, name, params, args) \
  ret name params override {                          \
    return Note(#name, inner_.name args);             \
  }
  TAGVANE_OPERATIONS(UHF_LOGGED_OPERATION)
#undef UHF_LOGGED_OPERATION

 private:
  std::int32_t Note(const char* name, std::int32_t status) {
    calls_.push_back({name, status});
    return status;
  }

  ReaderDriver& inner_;
  std::vector<DriverCall> calls_;
};

}  // namespace uhf
