#pragma once
// A hostile reader behind the driver interface, for property tests and fuzzing: every call
// answers with a random status and fills its outputs with values at their limits (reader kinds
// 3 to 255, plans of unknown forms, out-of-range settings, texts without a terminating zero,
// reply lengths up to 255). It honours only the buffer sizes the interface promises; a failed
// call may still scribble over its outputs. Seeded, so every run can be replayed, or driven by a
// fuzzer's bytes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf {

class HostileDriver final : public ReaderDriver {
 public:
  // One call as the driver answered it: name, inputs, status and the outputs it wrote. `values`
  // holds the integer inputs in argument order, `out` the output bytes in argument order (32-bit
  // outputs as four little-endian bytes, texts with their full buffer).
  struct Call {
    std::string name;
    std::vector<std::int64_t> values;
    std::int32_t status = 0;
    std::vector<std::uint8_t> out;
  };

  // Random answers from a seeded generator. Each seed also picks how often calls fail (from
  // never to half of them), so runs where everything succeeds are common too.
  explicit HostileDriver(std::uint64_t seed);
  // Answers drawn from these bytes in order; zeros once they are used up.
  explicit HostileDriver(std::span<const std::uint8_t> bytes);

  // Starts over as a driver made with this seed.
  void Reseed(std::uint64_t seed);

  const std::vector<Call>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Whether every call so far returned 0.
  bool AllSucceeded() const;
  // Sets the share of failing calls, in 1/256 (0 = every call succeeds).
  void SetFailureRate(std::uint8_t per256) { failurePer256_ = per256; }

  // --- ReaderDriver ---
  UHF_READER_DRIVER_OVERRIDES

  // Buffer sizes the interface promises the driver; it writes exactly up to them.
  static constexpr std::size_t kVersionBytes = 30;
  static constexpr std::size_t kSerialBytes = 12;
  static constexpr std::size_t kReplyBytes = 256;
  static constexpr std::size_t kCardBytes = 50;

 private:
  std::uint32_t Next();
  std::uint8_t Byte();
  // A byte setting's value: the edges of every range the tool knows, or any byte.
  std::uint8_t EdgeByte();
  std::int32_t EdgeInt();
  std::int32_t Status();
  // Starts recording a call; returns its status.
  Call& Begin(std::string name, std::vector<std::int64_t> values);
  // A byte output: written on success, and at random on failure too.
  std::int32_t ByteOut(std::string name, std::uint8_t addr, std::uint8_t* value);
  std::int32_t ByteIn(std::string name, std::uint8_t addr, std::uint8_t value);
  std::int32_t Region(std::string name, std::uint8_t addr, std::uint8_t form, std::int32_t start,
                      std::int32_t end, std::int32_t step, std::uint8_t count);
  // Whether a call with this status writes its outputs.
  bool Writes(std::int32_t status);
  static void PutInt(std::vector<std::uint8_t>& out, std::int32_t value);

  bool fromBytes_ = false;
  std::uint64_t state_ = 0;
  std::vector<std::uint8_t> bytes_;
  std::size_t at_ = 0;
  std::uint8_t failurePer256_ = 32;
  std::vector<Call> calls_;
};

}  // namespace uhf
