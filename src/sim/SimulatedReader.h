#pragma once
// A simulated reader behind the driver interface: the device's behaviour. It keeps its settings
// in a state store across runs and refuses what a real reader refuses. Recording its calls,
// failing operations on request and answering late are decorators (CallRecorder,
// FailureInjector, LatencyDriver; InstrumentedReader puts them together).

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "driver/ReaderDriver.h"
#include "sim/SimState.h"
#include "sim/SimStateStore.h"

namespace uhf {

struct SimOptions {
  // Where the state lives; empty: nothing is read or written (a fresh factory reader in memory).
  std::filesystem::path statePath;
  std::uint8_t readerKind = 0;  // used when no state file exists yet
  bool etsiBand = false;
};

class SimulatedReader final : public ReaderDriver {
 public:
  explicit SimulatedReader(SimOptions options = {});

  // Network readers: from now on Net_Connect reaches the reader whose state file is
  // `<ip>_<port>.ini` in `folder`, and an address without a file does not answer. Empty: every
  // address reaches the reader of the state path.
  void SetNetworkStateDir(std::filesystem::path folder) { stateDir_ = std::move(folder); }

  // --- for tests ---
  SimState& State() { return store_.State(); }
  // The next UhfReadTag replies these raw bytes (length = size, at most 255) instead of a tag of
  // the field. For malformed replies.
  void QueueRawReply(std::vector<std::uint8_t> reply);
  bool LinkOpen() const { return linkOpen_; }

  // --- ReaderDriver ---
  UHF_READER_DRIVER_OVERRIDES

 private:
  // For linked operations: checks the link and the bus address and takes what other processes
  // stored. Returns 0 to go ahead, else the status to return.
  std::int32_t Linked(std::uint8_t addr);
  // Whether a reader is plugged in, as the state file says now: 0, else the status to return.
  std::int32_t Plugged();
  std::int32_t Modify(const std::function<std::int32_t(SimState&)>& change);
  // Which values a byte setting accepts, given the reader's state.
  using ByteCheck = bool (*)(const SimState&, std::uint8_t);
  // A byte setting's operation: the value stored when accepted.
  std::int32_t SetByte(std::uint8_t addr, std::uint8_t SimState::*member, std::uint8_t value,
                       ByteCheck accepts);
  std::int32_t SetPlan(std::uint8_t form, std::int32_t start, std::int32_t end, std::int32_t step,
                       std::uint8_t count);

  SimStateStore store_;
  std::filesystem::path stateDir_;
  bool linkOpen_ = false;
  std::size_t nextTag_ = 0;
  std::deque<std::vector<std::uint8_t>> rawReplies_;
};

}  // namespace uhf
