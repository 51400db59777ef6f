#pragma once
// A simulated reader behind the driver interface: the default driver of the tool and the test
// double of every handler test. It keeps its settings in a state file across runs, refuses what
// a real reader refuses, and, for tests, records every call and fails any operation on request.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf {

// Everything the simulated device remembers across runs.
struct SimState {
  std::uint8_t readerKind = 0;  // 0, 1 or 2
  bool etsiBand = false;        // band of readers of kind 0 and 1: FCC (902-928 MHz) or ETSI
  std::string version = "TVW-SIM V2.06";
  std::array<std::uint8_t, 12> serial{0x20, 0x26, 0x12, 0x07, 0x00, 0x0a,
                                      0xff, 0x51, 0x3c, 0x00, 0x00, 0x01};
  std::uint8_t address = 0;
  std::uint8_t workMode = 0;
  std::uint8_t triggerTime = 1;
  std::uint8_t wgIntervalTime = 2;
  std::uint8_t weigand = 0x26;
  std::array<std::uint8_t, 4> wgOutRecord{1, 9, 3, 0};
  std::uint8_t passwordEnabled = 0;
  std::array<std::uint8_t, 4> password{0, 0, 0, 0};
  std::uint8_t readTagInterval = 5;
  std::uint8_t outPower = 30;
  std::uint8_t buzzer = 1;
  std::uint8_t regionForm = 4;
  std::int32_t regionStart = 902000;
  std::int32_t regionEnd = 926000;
  std::int32_t regionStep = 500;
  std::uint8_t regionCount = 48;
  std::vector<std::vector<std::uint8_t>> tags;  // EPCs of the tags in the field

  friend bool operator==(const SimState&, const SimState&) = default;
};

// The factory state of a reader of the given kind and band (what UhfFactoryDefault restores).
SimState FactoryState(std::uint8_t readerKind, bool etsiBand);

struct SimOptions {
  // Where the state lives; empty: nothing is read or written (a fresh factory reader in memory).
  std::filesystem::path statePath;
  std::uint8_t readerKind = 0;  // used when no state file exists yet
  bool etsiBand = false;
};

// Default state file: $TAGVANE_SIM_STATE, else $XDG_STATE_HOME/tagvane-sim/reader.ini, else
// %LOCALAPPDATA%\tagvane-sim\reader.ini (Windows), else ~/.local/state/tagvane-sim/reader.ini.
std::filesystem::path DefaultStatePath();

class SimulatedReader final : public ReaderDriver {
 public:
  explicit SimulatedReader(SimOptions options = {});

  // --- for tests ---
  SimState& State() { return state_; }
  // Every call so far, one line each: Name(args). Integer arguments in decimal; the bytes of an
  // input record (Wiegand record, password) as separate decimal arguments; input texts in double
  // quotes; the EPC given to EpcOutput as one lowercase hexadecimal token of epcLength bytes;
  // output pointers left out. Example: "UhfSetWgOutByte(255,1,9,3,0)", "OpenCom(100,115200)",
  // "Net_Connect(\"192.168.1.2\",2000,\"192.168.1.250\",27001)", "Handshake(255,1)".
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Makes operation `name` return `status`: on its nth call from now (1-based), or on every call
  // from now when nth is 0. Output parameters are left untouched by a failed call.
  void FailOn(const std::string& name, std::int32_t status = 1, int nth = 0);
  void ClearFailures();
  // Adds this delay to every call (for benchmarks).
  void SetLatency(std::chrono::microseconds latency) { latency_ = latency; }
  // The next UhfReadTag replies these raw bytes (length = size, at most 255) instead of a tag of
  // the field. For malformed replies.
  void QueueRawReply(std::vector<std::uint8_t> reply);
  bool LinkOpen() const { return linkOpen_; }

  // --- ReaderDriver ---
  std::int32_t OpenCom(std::int32_t port, std::int32_t baud) override;
  std::int32_t Net_Connect(const char* hostIp, std::int32_t hostPort, const char* readerIp,
                           std::int32_t readerPort) override;
  std::int32_t CloseCom() override;
  std::int32_t Handshake(std::uint8_t addr, std::uint8_t connecting, std::uint8_t* readerKind,
                         std::uint8_t* extra) override;
  std::int32_t Get_Version(std::uint8_t addr, char* version) override;
  std::int32_t Get_SerNum(std::uint8_t addr, std::uint8_t* serial) override;
  std::int32_t UhfGetAddress(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetAddress(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWorkMode(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetTriggerTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWgIntervalTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWeigand(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWeigand(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetReadTagIntervalTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetOutPower(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetOutPower(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetBuzzer(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) override;
  std::int32_t UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) override;
  std::int32_t UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                              std::uint8_t* password) override;
  std::int32_t UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                              const std::uint8_t* password) override;
  std::int32_t UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form, std::int32_t* start,
                                     std::int32_t* end, std::int32_t* step,
                                     std::uint8_t* count) override;
  std::int32_t UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                     std::int32_t end, std::int32_t step,
                                     std::uint8_t count) override;
  std::int32_t UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                      std::int32_t end, std::int32_t step,
                                      std::uint8_t count) override;
  std::int32_t UhfFactoryDefault(std::uint8_t addr) override;
  std::int32_t UhfReadTag(std::uint8_t addr, std::uint8_t* reply, std::uint8_t* length) override;
  std::int32_t EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength, std::uint8_t inverted,
                         std::int32_t startByte, std::int32_t length, std::uint8_t* out) override;
  std::int32_t hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) override;
  std::int32_t a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) override;

 private:
  enum class Access { Free, Linked };
  struct ScriptedFailure {
    std::int32_t status;
    int remaining;  // calls until it fires; 0 = fires on every call
  };

  // Records the call, waits the latency and applies scripted failures; for linked operations
  // also checks the link and the bus address. Returns 0 to go ahead, else the status to return.
  std::int32_t Enter(std::string call, Access access, std::uint8_t addr = ReaderBusAddress);
  // Takes the state file's changes made by another process since this one last read or wrote
  // it.
  void Refresh();
  // One read-modify-write of the state under the state file's lock, so that processes sharing
  // the file never lose each other's settings: the latest state is read, `change` applied (a
  // nonzero result refuses it), and the result written before the lock is let go.
  std::int32_t Modify(const std::function<std::int32_t(SimState&)>& change);
  // Makes `next` the state, writing it to the state file first; a failed write keeps the old
  // state and returns nonzero.
  std::int32_t Commit(SimState next);
  // The state file's bytes, or nothing when it cannot be read. Compared whole: file times are
  // too coarse on some systems (whole seconds) to tell two quick writes of the same size apart.
  std::optional<std::string> FileBytes() const;
  // Which values a byte setting accepts, given the reader's state.
  using ByteCheck = bool (*)(const SimState&, std::uint8_t);
  // A byte setting's operation: the call is entered, then the value stored when accepted.
  std::int32_t SetByte(const char* operation, std::uint8_t addr, std::uint8_t SimState::*member,
                       std::uint8_t value, ByteCheck accepts);
  std::int32_t SetPlan(std::uint8_t form, std::int32_t start, std::int32_t end, std::int32_t step,
                       std::uint8_t count);

  std::map<std::string, std::vector<ScriptedFailure>, std::less<>> failures_;
  SimOptions options_;
  SimState state_;
  std::optional<std::string> seen_;  // the state file as last read or written here
  bool linkOpen_ = false;
  std::size_t nextTag_ = 0;
  std::deque<std::vector<std::uint8_t>> rawReplies_;
  std::vector<std::string> calls_;
  std::chrono::microseconds latency_{0};
};

}  // namespace uhf
