#pragma once
// A driver that answers late: every call waits a fixed time before it is passed on, as a device
// at the end of a slow link would.

#include <chrono>
#include <functional>

#include "driver/DriverDecorator.h"

namespace uhf {

class LatencyDriver final : public DriverDecorator {
 public:
  using Sleep = std::function<void(std::chrono::microseconds)>;

  // `sleep` waits the time given; by default PreciseSleep.
  explicit LatencyDriver(ReaderDriver& inner, std::chrono::microseconds latency = {},
                         Sleep sleep = PreciseSleep);

  void SetLatency(std::chrono::microseconds latency) { latency_ = latency; }
  std::chrono::microseconds Latency() const { return latency_; }

  // Sleeps most of the time, then waits out the rest exactly: a plain sleep wakes late by a
  // timer slack that would blur benchmarks.
  static void PreciseSleep(std::chrono::microseconds duration);

 private:
  std::int32_t Around(Operation operation, Forward forward) override;

  std::chrono::microseconds latency_;
  Sleep sleep_;
};

}  // namespace uhf
