// The decorators around any driver: failure injection fails exactly the operations named, the
// call record holds every call, the latency waits before every call.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "driver/DriverOperation.h"
#include "sim/CallRecorder.h"
#include "sim/FailureInjector.h"
#include "sim/LatencyDriver.h"

namespace uhf {
namespace {

template <typename... Args>
void Unused(const Args&...) {}

// The driver under the decorators: notes which operations reached it and answers each with a
// status of its own (100 + its place in the list).
class Probe final : public ReaderDriver {
 public:
  std::vector<Operation> reached;
  std::function<void(Operation)> onCall;

#define UHF_PROBE_OPERATION(ret, name, params, args) \
  ret name params override {                         \
    Unused args;                                     \
    return Reached(Operation::name);                 \
  }
  TAGVANE_OPERATIONS(UHF_PROBE_OPERATION)
#undef UHF_PROBE_OPERATION

  static std::int32_t StatusOf(Operation operation) {
    return 100 + static_cast<std::int32_t>(operation);
  }

 private:
  std::int32_t Reached(Operation operation) {
    reached.push_back(operation);
    if (onCall) onCall(operation);
    return StatusOf(operation);
  }
};

// Calls an operation with every argument zero or null.
template <typename... Params>
std::int32_t CallWithZeros(std::int32_t (ReaderDriver::*operation)(Params...),
                           ReaderDriver& driver) {
  return (driver.*operation)(Params{}...);
}

// Every operation once, in the order of the list.
const std::vector<std::pair<Operation, std::function<std::int32_t(ReaderDriver&)>>>& EveryCall() {
  static const std::vector<std::pair<Operation, std::function<std::int32_t(ReaderDriver&)>>> calls =
      {
#define UHF_CALL_OPERATION(ret, name, params, args) \
  {Operation::name, [](ReaderDriver& d) { return CallWithZeros(&ReaderDriver::name, d); }},
          TAGVANE_OPERATIONS(UHF_CALL_OPERATION)
#undef UHF_CALL_OPERATION
      };
  return calls;
}

TEST(FailureInjector, FailsExactlyTheOperationsNamed) {
  struct Row {
    const char* names;
    std::set<Operation> failing;
  } rows[] = {
      {"", {}},
      {"OpenCom,Handshake", {Operation::OpenCom, Operation::Handshake}},
      {"a_hex", {Operation::a_hex}},
      {",UhfSetFrequencyRegionB,,UhfSetBuzzer,",
       {Operation::UhfSetFrequencyRegionB, Operation::UhfSetBuzzer}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.names);
    Probe probe;
    FailureInjector injector(probe);
    injector.FailEvery(row.names);
    std::vector<Operation> expectedReached;
    for (int round = 0; round < 2; ++round) {  // every call fails, not only the first
      for (const auto& [operation, call] : EveryCall()) {
        const bool fails = row.failing.count(operation) > 0;
        EXPECT_EQ(call(injector), fails ? 1 : Probe::StatusOf(operation))
            << OperationName(operation);
        if (!fails) expectedReached.push_back(operation);
      }
    }
    EXPECT_EQ(probe.reached, expectedReached);
  }
}

TEST(FailureInjector, RefusesWhatIsNoOperation) {
  Probe probe;
  FailureInjector injector(probe);
  for (const char* names : {"Opencom", "OpenCom,Handshake ", "UhfSetPower"}) {
    EXPECT_THROW(injector.FailEvery(names), std::invalid_argument) << names;
  }
}

TEST(CallRecorder, RecordsEveryCallWithTheStatusItReturned) {
  Probe probe;
  FailureInjector injector(probe);
  injector.FailOn("UhfGetOutPower", 9);
  CallRecorder recorder(injector);
  std::vector<std::pair<std::string, std::int32_t>> sunk;
  recorder.SetSink(
      [&](const std::string& call, std::int32_t status) { sunk.emplace_back(call, status); });
  std::vector<std::int32_t> returned;
  for (const auto& [operation, call] : EveryCall()) returned.push_back(call(recorder));

  ASSERT_EQ(recorder.Calls().size(), EveryCall().size());
  ASSERT_EQ(sunk.size(), EveryCall().size());
  for (std::size_t i = 0; i < EveryCall().size(); ++i) {
    const std::string name(OperationName(EveryCall()[i].first));
    EXPECT_EQ(recorder.Calls()[i].rfind(name + "(", 0), 0u) << recorder.Calls()[i];
    EXPECT_EQ(recorder.Calls()[i].back(), ')') << recorder.Calls()[i];
    EXPECT_EQ(sunk[i].first, recorder.Calls()[i]);
    EXPECT_EQ(sunk[i].second, returned[i]) << name;
  }
  recorder.ClearCalls();
  EXPECT_TRUE(recorder.Calls().empty());
}

TEST(LatencyDriver, WaitsTheLatencyBeforeEveryCall) {
  for (const auto latency : {std::chrono::microseconds(0), std::chrono::microseconds(2500)}) {
    SCOPED_TRACE(latency.count());
    std::vector<std::string> events;
    Probe probe;
    probe.onCall = [&](Operation operation) { events.emplace_back(OperationName(operation)); };
    LatencyDriver slow(probe, latency, [&](std::chrono::microseconds waited) {
      events.push_back("sleep " + std::to_string(waited.count()));
    });
    std::vector<std::string> expected;
    for (const auto& [operation, call] : EveryCall()) {
      EXPECT_EQ(call(slow), Probe::StatusOf(operation));
      if (latency.count() > 0) expected.push_back("sleep " + std::to_string(latency.count()));
      expected.emplace_back(OperationName(operation));
    }
    EXPECT_EQ(events, expected);
  }
}

}  // namespace
}  // namespace uhf
