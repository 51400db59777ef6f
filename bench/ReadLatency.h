#pragma once
// The reader's time for a tag read; the driver's conversions (a_hex) and every other call stay
// immediate. The latency may change between runs (zero while a list is filled).
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>

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

// The reader's own rate: tag reads per second called back to back on one thread for `run`.
inline double ReaderOwnRate(ReaderDriver& driver, std::chrono::steady_clock::duration run) {
  using Clock = std::chrono::steady_clock;
  std::array<std::uint8_t, 256> reply{};
  long long reads = 0;
  const auto start = Clock::now();
  while (Clock::now() - start < run) {
    std::uint8_t length = 16;
    driver.UhfReadTag(ReaderBusAddress, reply.data(), &length);
    ++reads;
  }
  return static_cast<double>(reads) / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace uhf::bench
