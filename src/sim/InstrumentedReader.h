#pragma once
// The simulated reader as tests, benchmarks and the drop-in library use it: the device behind
// failure injection, latency and a call record. The record is outermost, so that calls failed on
// purpose are recorded too, and the latency applies to them as well.

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/CallRecorder.h"
#include "sim/FailureInjector.h"
#include "sim/LatencyDriver.h"
#include "sim/SimulatedReader.h"

namespace uhf {

namespace detail {

// The inner layers, made before the call record that wraps them.
struct InstrumentedLayers {
  explicit InstrumentedLayers(SimOptions options) : device(std::move(options)) {}
  SimulatedReader device;
  FailureInjector failures{device};
  LatencyDriver latency{failures};
};

}  // namespace detail

class InstrumentedReader final : private detail::InstrumentedLayers, public CallRecorder {
 public:
  explicit InstrumentedReader(SimOptions options = {})
      : InstrumentedLayers(std::move(options)), CallRecorder(latency) {}

  SimulatedReader& Device() { return device; }
  SimState& State() { return device.State(); }
  void QueueRawReply(std::vector<std::uint8_t> reply) { device.QueueRawReply(std::move(reply)); }
  bool LinkOpen() const { return device.LinkOpen(); }

  void FailOn(const std::string& name, std::int32_t status = 1, int nth = 0) {
    failures.FailOn(name, status, nth);
  }
  void FailEvery(std::string_view names) { failures.FailEvery(names); }
  void ClearFailures() { failures.ClearFailures(); }
  void SetLatency(std::chrono::microseconds delay) { latency.SetLatency(delay); }
};

}  // namespace uhf
