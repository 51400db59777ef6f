#pragma once
// A driver that makes chosen operations fail: a call of a failing operation returns its status
// without reaching the inner driver, so its outputs are left untouched and nothing changes.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/DriverDecorator.h"

namespace uhf {

class FailureInjector final : public DriverDecorator {
 public:
  using DriverDecorator::DriverDecorator;

  // Makes operation `name` return `status`: on its nth call from now (1-based), or on every call
  // from now when nth is 0. Throws std::invalid_argument for a name that is no operation, a zero
  // status or a negative nth.
  void FailOn(const std::string& name, std::int32_t status = 1, int nth = 0);
  void ClearFailures() { failures_.clear(); }

  // Fails every operation named in a comma-separated list ("OpenCom,Handshake") on every call.
  void FailEvery(std::string_view names);

 private:
  struct ScriptedFailure {
    std::int32_t status;
    int remaining;  // calls until it fires; 0 = fires on every call
  };

  std::int32_t Around(Operation operation, Forward forward) override;

  std::map<Operation, std::vector<ScriptedFailure>> failures_;
};

}  // namespace uhf
