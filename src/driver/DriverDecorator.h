#pragma once
// A driver that wraps another: every operation goes through Around(), which knows the operation
// and passes the call on (or not) by calling `forward`. For concerns that treat all operations
// alike (failure injection, latency); one that needs the arguments implements ReaderDriver itself.

#include <cstdint>
#include <type_traits>
#include <utility>

#include "driver/DriverOperation.h"
#include "driver/ReaderDriver.h"

namespace uhf {

class DriverDecorator : public ReaderDriver {
 public:
  explicit DriverDecorator(ReaderDriver& inner) : inner_(inner) {}
  DriverDecorator(const DriverDecorator&) = delete;
  DriverDecorator& operator=(const DriverDecorator&) = delete;

#define UHF_DECORATED_OPERATION(ret, name, params, args)            \
  ret name params final {                                           \
    auto call = [&]() -> std::int32_t { return inner_.name args; }; \
    return Around(Operation::name, Forward(call));                  \
  }
  TAGVANE_OPERATIONS(UHF_DECORATED_OPERATION)
#undef UHF_DECORATED_OPERATION

 protected:
  // A call passed on to the inner driver; callable once or not at all. Cheap to copy.
  class Forward {
   public:
    template <typename Call>
    explicit Forward(Call& call)
        : call_(&call), invoke_([](void* c) { return (*static_cast<Call*>(c))(); }) {}
    std::int32_t operator()() const { return invoke_(call_); }

   private:
    void* call_;
    std::int32_t (*invoke_)(void*);
  };

  virtual std::int32_t Around(Operation operation, Forward forward) = 0;

  ReaderDriver& Inner() {
    return inner_;
  }

 private:
  ReaderDriver& inner_;
};

}  // namespace uhf
