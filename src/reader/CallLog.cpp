#include "reader/CallLog.h"

#include <algorithm>

namespace uhf {

bool CallLog::AllSucceeded() const {
  return std::all_of(calls_.begin(), calls_.end(),
                     [](const DriverCall& c) { return c.status == 0; });
}

}  // namespace uhf
