#pragma once
// A reader whose calls take long: every call after the first `fastCalls` waits `delayMs` before
// it is passed on. For showing that a window stays responsive while the driver is slow.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "driver/DriverDecorator.h"

namespace uhf {

class SlowReader final : public DriverDecorator {
 public:
  SlowReader(ReaderDriver& inner, int fastCalls) : DriverDecorator(inner), fastCalls_(fastCalls) {}
  std::atomic<int> delayMs{2000};

 private:
  std::int32_t Around(Operation, Forward forward) override {
    if (calls_++ >= fastCalls_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs.load()));
    }
    return forward();
  }
  std::atomic<int> calls_{0};
  int fastCalls_;
};

}  // namespace uhf
