#include "sim/FailureInjector.h"

#include <stdexcept>
#include <string_view>

namespace uhf {

void FailureInjector::FailOn(const std::string& name, std::int32_t status, int nth) {
  const std::optional<Operation> operation = OperationNamed(name);
  if (!operation) {
    throw std::invalid_argument("FailOn: no operation named \"" + name + "\"");
  }
  if (status == 0 || nth < 0) {
    throw std::invalid_argument("FailOn: status must be nonzero and nth at least 0");
  }
  failures_[*operation].push_back({status, nth});
}

void FailureInjector::FailEvery(std::string_view names) {
  while (!names.empty()) {
    const std::size_t comma = names.find(',');
    const std::string name(names.substr(0, comma));
    names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
    if (!name.empty()) FailOn(name);
  }
}

std::int32_t FailureInjector::Around(Operation operation, Forward forward) {
  std::int32_t scripted = 0;
  if (auto it = failures_.find(operation); it != failures_.end()) {
    // Every rule counts the call; the first one that fires gives the status.
    auto& rules = it->second;
    for (auto rule = rules.begin(); rule != rules.end();) {
      if (rule->remaining == 0) {
        scripted = scripted != 0 ? scripted : rule->status;
        ++rule;
      } else if (--rule->remaining == 0) {
        scripted = scripted != 0 ? scripted : rule->status;
        rule = rules.erase(rule);
      } else {
        ++rule;
      }
    }
  }
  return scripted != 0 ? scripted : forward();
}

}  // namespace uhf
