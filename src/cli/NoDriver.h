#pragma once
// A driver for commands that never talk to a reader (texts, ports): the dialog needs one, and
// every call it would make fails.

#include "driver/ReaderDriver.h"

namespace uhf::cli {

class NoDriver final : public ReaderDriver {
 public:
  static constexpr std::int32_t kNotBound = -1;

#define UHF_NOT_BOUND(ret, name, params, args) \
  ret name params override {                   \
    Unused args;                               \
    return kNotBound;                          \
  }
  TAGVANE_OPERATIONS(UHF_NOT_BOUND)
#undef UHF_NOT_BOUND

 private:
  template <typename... Args>
  static void Unused(const Args&...) {}
};

}  // namespace uhf::cli
