#include "sim/LatencyDriver.h"

#include <thread>
#include <utility>

namespace uhf {

LatencyDriver::LatencyDriver(ReaderDriver& inner, std::chrono::microseconds latency, Sleep sleep)
    : DriverDecorator(inner), latency_(latency), sleep_(std::move(sleep)) {}

void LatencyDriver::PreciseSleep(std::chrono::microseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  const auto slack = std::chrono::microseconds(200);
  if (duration > slack) std::this_thread::sleep_for(duration - slack);
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
}

std::int32_t LatencyDriver::Around(Operation, Forward forward) {
  if (latency_.count() > 0) sleep_(latency_);
  return forward();
}

}  // namespace uhf
