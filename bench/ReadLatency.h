#pragma once
// The reader's time for a tag read; the driver's conversions (a_hex) and every other call stay
// immediate. The latency may change between runs (zero while a list is filled).
#include <atomic>
#include <chrono>

#include "driver/DriverDecorator.h"
#include "sim/LatencyDriver.h"

namespace uhf::bench {

class ReadLatency final : public DriverDecorator {
 public:
  ReadLatency(ReaderDriver& inner, std::chrono::microseconds latency)
      : DriverDecorator(inner), latencyUs_(latency.count()) {}
  void Set(std::chrono::microseconds latency) { latencyUs_ = latency.count(); }

 private:
  std::int32_t Around(Operation operation, Forward forward) override {
    const long long us = latencyUs_;
    if (operation == Operation::UhfReadTag && us > 0)
      LatencyDriver::PreciseSleep(std::chrono::microseconds(us));
    return forward();
  }
  std::atomic<long long> latencyUs_;
};

}  // namespace uhf::bench
