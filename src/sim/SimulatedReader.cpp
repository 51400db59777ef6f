#include "sim/SimulatedReader.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <type_traits>
#include <utility>

#include "files/FileLock.h"
#include "sim/AtomicFile.h"
#include "sim/SimStateFile.h"
#include "text/DottedAddress.h"
#include "text/Hex.h"

namespace uhf {

namespace {

// Statuses of the simulated device; scripted failures default to 1.
constexpr std::int32_t kRefused = 2;       // value or argument the reader does not take
constexpr std::int32_t kNoLink = 3;        // no link open
constexpr std::int32_t kWrongAddress = 4;  // bus address other than 255
constexpr std::int32_t kNoTag = 5;         // no tag in the field
constexpr std::int32_t kStorage = 6;       // the setting could not be stored
constexpr std::int32_t kLinkBusy = 8;  // a link is already open (7: internal error of the exports)

constexpr std::size_t kMaxVersionLength = 29;
constexpr std::size_t kMaxReply = 255;

constexpr std::string_view kOperations[] = {"OpenCom",
                                            "Net_Connect",
                                            "CloseCom",
                                            "Handshake",
                                            "Get_Version",
                                            "Get_SerNum",
                                            "UhfGetAddress",
                                            "UhfSetAddress",
                                            "UhfGetWorkMode",
                                            "UhfSetWorkMode",
                                            "UhfGetTriggerTime",
                                            "UhfSetTriggerTime",
                                            "UhfGetWgIntervalTime",
                                            "UhfSetWgIntervalTime",
                                            "UhfGetWeigand",
                                            "UhfSetWeigand",
                                            "UhfGetReadTagIntervalTime",
                                            "UhfSetReadTagIntervalTime",
                                            "UhfGetOutPower",
                                            "UhfSetOutPower",
                                            "UhfGetBuzzer",
                                            "UhfSetBuzzer",
                                            "UhfGetWgOutByte",
                                            "UhfSetWgOutByte",
                                            "UhfGetPassword",
                                            "UhfSetPassword",
                                            "UhfGetFrequencyRegion",
                                            "UhfSetFrequencyRegion",
                                            "UhfSetFrequencyRegionB",
                                            "UhfFactoryDefault",
                                            "UhfReadTag",
                                            "EpcOutput",
                                            "hex_a",
                                            "a_hex"};

bool AnyByte(const SimState&, std::uint8_t) {
  return true;
}

std::string HexToken(const std::uint8_t* bytes, std::size_t count) {
  if (bytes == nullptr) {
    return "null";
  }
  return BytesToHex(std::span(bytes, count));
}

std::string Quoted(const char* text, std::size_t maxLength = std::string::npos) {
  if (text == nullptr) {
    return "null";
  }
  std::string quoted = "\"";
  for (std::size_t i = 0; i < maxLength && text[i] != '\0'; ++i) {
    quoted += text[i];
  }
  return quoted + '"';
}

void AppendArg(std::string& out, const std::string& text) {
  out += text;
}

template <typename T>
requires std::is_integral_v<T>
void AppendArg(std::string& out, T value) {
  out += std::to_string(static_cast<long long>(value));
}

// "Name(a,b,c)" with integers in decimal and preformatted texts as they are.
template <typename... Args>
std::string CallText(std::string_view name, const Args&... args) {
  std::string text(name);
  text += '(';
  bool first = true;
  ((text += first ? "" : ",", AppendArg(text, args), first = false), ...);
  text += ')';
  return text;
}

bool ValidPort(std::int32_t port) {
  return port >= 0 && port <= 65535;
}

struct PowerRange {
  int low;
  int high;
};

PowerRange PowerRangeOf(std::uint8_t readerKind) {
  switch (readerKind) {
    case 1:
      return {18, 26};
    case 2:
      return {0, 63};
    default:
      return {0, 33};
  }
}

bool PlanAccepted(const SimState& s, std::uint8_t form, std::int32_t start, std::int32_t end,
                  std::int32_t step, std::uint8_t count) {
  if (form == 4) {
    if (s.readerKind != 0 && s.readerKind != 1) {
      return false;
    }
    const std::int32_t low = s.etsiBand ? 865000 : 902000;
    const std::int32_t high = s.etsiBand ? 868000 : 928000;
    return start >= low && end <= high && start <= end && (start - low) % 500 == 0 &&
           (end - low) % 500 == 0 && step == 500 && count == (end - start) / 500;
  }
  if (form == 5) {
    return s.readerKind == 2 && start >= 1 && start <= end && end <= 63 && step == 0 && count == 0;
  }
  return false;
}

std::vector<std::vector<std::uint8_t>> FactoryTags() {
  return {
      {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22},
      {0x30, 0x08, 0x33, 0xb2, 0xdd, 0xd9, 0x01, 0x40},
      {0xe2, 0x80, 0x11, 0x60, 0x60, 0x00, 0x02, 0x04, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 0x07,
       0x18},
      {0xe2, 0x00, 0x00, 0x17, 0x22, 0x09, 0x01, 0x23, 0x15, 0x60, 0x4a, 0x1f},
      {0x35, 0x14, 0x00, 0x00, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x00,
       0x03, 0xe8, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78},
  };
}

}  // namespace

SimState FactoryState(std::uint8_t readerKind, bool etsiBand) {
  SimState s;
  s.readerKind = readerKind;
  s.etsiBand = etsiBand;
  switch (readerKind) {
    case 1:
      s.outPower = 24;
      break;
    case 2:
      s.outPower = 50;
      s.regionForm = 5;
      s.regionStart = 1;
      s.regionEnd = 63;
      s.regionStep = 0;
      s.regionCount = 0;
      break;
    default:
      s.outPower = 30;
      break;
  }
  if (readerKind != 2 && etsiBand) {
    s.regionStart = 865000;
    s.regionEnd = 868000;
    s.regionCount = 6;
  }
  s.tags = FactoryTags();
  return s;
}

std::filesystem::path DefaultStatePath() {
  const auto env = [](const char* name) -> std::string {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
  };
  if (std::string path = env("TAGVANE_SIM_STATE"); !path.empty()) {
    return path;
  }
  if (std::filesystem::path base = env("XDG_STATE_HOME"); base.is_absolute()) {
    return base / "tagvane-sim" / "reader.ini";
  }
  // Windows: the user's local application data.
  if (std::filesystem::path base = env("LOCALAPPDATA"); base.is_absolute()) {
    return base / "tagvane-sim" / "reader.ini";
  }
  if (std::string home = env("HOME"); !home.empty()) {
    return std::filesystem::path(home) / ".local" / "state" / "tagvane-sim" / "reader.ini";
  }
  return {};  // nowhere to keep it: in memory only
}

SimulatedReader::SimulatedReader(SimOptions options)
    : options_(std::move(options)), state_(FactoryState(options_.readerKind, options_.etsiBand)) {
  if (options_.statePath.empty()) {
    return;
  }
  seen_ = FileBytes();
  std::string error;
  if (ReadSimStateFile(options_.statePath, state_, error) == StateFileResult::Unusable) {
    std::cerr << "tagvane-sim: state file " << options_.statePath.string() << ": " << error
              << "; using factory settings\n";
  }
}

std::optional<std::string> SimulatedReader::FileBytes() const {
  std::ifstream in(options_.statePath, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(bytes).str();
}

void SimulatedReader::Refresh() {
  if (options_.statePath.empty()) return;
  // Every write replaces the file, so other bytes than last seen mean another process wrote it.
  std::optional<std::string> now = FileBytes();
  if (!now || now == seen_) return;
  std::string error;
  if (std::optional<SimState> latest = ParseSimState(*now, error)) {
    state_ = std::move(*latest);
  }
  seen_ = std::move(now);  // an unusable file was reported when the reader was made
}

std::int32_t SimulatedReader::Modify(const std::function<std::int32_t(SimState&)>& change) {
  std::unique_ptr<FileLock> lock;
  if (!options_.statePath.empty()) {
    std::string error;
    std::filesystem::path folder;
    if (!PrepareFolderOf(options_.statePath, folder, error) ||
        !(lock = FileLock::Acquire(options_.statePath.string() + ".lock", error))) {
      std::cerr << "tagvane-sim: cannot store the settings: " << error << '\n';
      return kStorage;
    }
  }
  Refresh();
  SimState next = state_;
  if (const std::int32_t refused = change(next)) return refused;
  return Commit(std::move(next));
}

void SimulatedReader::FailOn(const std::string& name, std::int32_t status, int nth) {
  if (std::find(std::begin(kOperations), std::end(kOperations), name) == std::end(kOperations)) {
    throw std::invalid_argument("FailOn: no operation named \"" + name + "\"");
  }
  if (status == 0 || nth < 0) {
    throw std::invalid_argument("FailOn: status must be nonzero and nth at least 0");
  }
  failures_[name].push_back({status, nth});
}

void SimulatedReader::ClearFailures() {
  failures_.clear();
}

void SimulatedReader::QueueRawReply(std::vector<std::uint8_t> reply) {
  if (reply.size() > kMaxReply) {
    throw std::invalid_argument("QueueRawReply: a reply holds at most 255 bytes");
  }
  rawReplies_.push_back(std::move(reply));
}

std::int32_t SimulatedReader::Enter(std::string call, Access access, std::uint8_t addr) {
  const std::string name = call.substr(0, call.find('('));
  calls_.push_back(std::move(call));
  if (latency_.count() > 0) {
    // A device answers after a fixed time: sleep most of it, then wait out the rest exactly, as
    // a plain sleep wakes late by a timer slack that would blur benchmarks.
    const auto deadline = std::chrono::steady_clock::now() + latency_;
    const auto slack = std::chrono::microseconds(200);
    if (latency_ > slack) std::this_thread::sleep_for(latency_ - slack);
    while (std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  }
  std::int32_t scripted = 0;
  if (auto it = failures_.find(name); it != failures_.end()) {
    auto& rules = it->second;
    for (auto rule = rules.begin(); rule != rules.end();) {
      if (rule->remaining == 0) {
        scripted = scripted != 0 ? scripted : rule->status;
        ++rule;
      } else if (--rule->remaining == 0) {
        scripted = scripted != 0 ? scripted : rule->status;
        rule = rules.erase(rule);
      } else {
        ++rule;
      }
    }
  }
  if (scripted != 0) {
    return scripted;
  }
  if (access == Access::Linked) {
    if (!linkOpen_) {
      return kNoLink;
    }
    if (addr != ReaderBusAddress) {
      return kWrongAddress;
    }
    Refresh();  // the device is one: show what other processes set
  }
  return 0;
}

std::int32_t SimulatedReader::Commit(SimState next) {
  if (next == state_) {
    return 0;
  }
  if (!options_.statePath.empty()) {
    std::string error;
    if (!WriteSimStateFile(options_.statePath, next, error)) {
      std::cerr << "tagvane-sim: cannot store the settings: " << error << '\n';
      return kStorage;
    }
    seen_ = FileBytes();
  }
  state_ = std::move(next);
  return 0;
}

std::int32_t SimulatedReader::SetByte(const char* operation, std::uint8_t addr,
                                      std::uint8_t SimState::*member, std::uint8_t value,
                                      ByteCheck accepts) {
  if (std::int32_t s = Enter(CallText(operation, addr, value), Access::Linked, addr)) {
    return s;
  }
  // Checked against the state as stored now: another process may have changed the reader kind.
  return Modify([&](SimState& next) {
    if (!accepts(next, value)) return kRefused;
    next.*member = value;
    return 0;
  });
}

std::int32_t SimulatedReader::SetPlan(std::uint8_t form, std::int32_t start, std::int32_t end,
                                      std::int32_t step, std::uint8_t count) {
  return Modify([&](SimState& next) {
    if (!PlanAccepted(next, form, start, end, step, count)) {
      return kRefused;
    }
    next.regionForm = form;
    next.regionStart = start;
    next.regionEnd = end;
    next.regionStep = step;
    next.regionCount = count;
    return 0;
  });
}

// --- link ---

std::int32_t SimulatedReader::OpenCom(std::int32_t port, std::int32_t baud) {
  if (std::int32_t s = Enter(CallText("OpenCom", port, baud), Access::Free)) return s;
  const bool baudOk = baud == 0 || baud == 9600 || baud == 19200 || baud == 38400 ||
                      baud == 57600 || baud == 115200;
  if (port < 0 || port > 255 || !baudOk) {
    return kRefused;
  }
  // Like a real port: a link still open must be closed first.
  if (linkOpen_) {
    return kLinkBusy;
  }
  linkOpen_ = true;  // port 100 is the USB link, the others serial ports
  return 0;
}

std::int32_t SimulatedReader::Net_Connect(const char* hostIp, std::int32_t hostPort,
                                          const char* readerIp, std::int32_t readerPort) {
  if (std::int32_t s =
          Enter(CallText("Net_Connect", Quoted(hostIp), hostPort, Quoted(readerIp), readerPort),
                Access::Free)) {
    return s;
  }
  if (hostIp == nullptr || readerIp == nullptr || !IsDottedAddress(hostIp) ||
      !IsDottedAddress(readerIp) || !ValidPort(hostPort) || !ValidPort(readerPort)) {
    return kRefused;
  }
  if (linkOpen_) {
    return kLinkBusy;
  }
  linkOpen_ = true;
  return 0;
}

std::int32_t SimulatedReader::CloseCom() {
  if (std::int32_t s = Enter(CallText("CloseCom"), Access::Free)) return s;
  linkOpen_ = false;
  return 0;
}

std::int32_t SimulatedReader::Handshake(std::uint8_t addr, std::uint8_t connecting,
                                        std::uint8_t* readerKind, std::uint8_t* extra) {
  if (std::int32_t s = Enter(CallText("Handshake", addr, connecting), Access::Linked, addr)) {
    return s;
  }
  if (connecting > 1 || readerKind == nullptr || extra == nullptr) {
    return kRefused;
  }
  *readerKind = state_.readerKind;
  *extra = state_.etsiBand ? 1 : 0;
  return 0;
}

// --- identity ---

std::int32_t SimulatedReader::Get_Version(std::uint8_t addr, char* version) {
  if (std::int32_t s = Enter(CallText("Get_Version", addr), Access::Linked, addr)) return s;
  if (version == nullptr) {
    return kRefused;
  }
  const std::size_t length = std::min(state_.version.size(), kMaxVersionLength);
  std::copy_n(state_.version.data(), length, version);
  version[length] = '\0';
  return 0;
}

std::int32_t SimulatedReader::Get_SerNum(std::uint8_t addr, std::uint8_t* serial) {
  if (std::int32_t s = Enter(CallText("Get_SerNum", addr), Access::Linked, addr)) return s;
  if (serial == nullptr) {
    return kRefused;
  }
  std::copy(state_.serial.begin(), state_.serial.end(), serial);
  return 0;
}

// --- byte settings ---

#define UHF_BYTE_GETTER(Name, member)                                                  \
  std::int32_t SimulatedReader::Name(std::uint8_t addr, std::uint8_t* value) {         \
    if (std::int32_t s = Enter(CallText(#Name, addr), Access::Linked, addr)) return s; \
    if (value == nullptr) return kRefused;                                             \
    *value = state_.member;                                                            \
    return 0;                                                                          \
  }

UHF_BYTE_GETTER(UhfGetAddress, address)
UHF_BYTE_GETTER(UhfGetWorkMode, workMode)
UHF_BYTE_GETTER(UhfGetTriggerTime, triggerTime)
UHF_BYTE_GETTER(UhfGetWgIntervalTime, wgIntervalTime)
UHF_BYTE_GETTER(UhfGetWeigand, weigand)
UHF_BYTE_GETTER(UhfGetReadTagIntervalTime, readTagInterval)
UHF_BYTE_GETTER(UhfGetOutPower, outPower)
UHF_BYTE_GETTER(UhfGetBuzzer, buzzer)
#undef UHF_BYTE_GETTER

std::int32_t SimulatedReader::UhfSetAddress(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetAddress", addr, &SimState::address, value, AnyByte);
}

std::int32_t SimulatedReader::UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetWorkMode", addr, &SimState::workMode, value,
                 [](const SimState&, std::uint8_t v) { return v <= 1; });
}

std::int32_t SimulatedReader::UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetTriggerTime", addr, &SimState::triggerTime, value,
                 [](const SimState&, std::uint8_t v) { return v != 0; });
}

std::int32_t SimulatedReader::UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetWgIntervalTime", addr, &SimState::wgIntervalTime, value, AnyByte);
}

std::int32_t SimulatedReader::UhfSetWeigand(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetWeigand", addr, &SimState::weigand, value,
                 [](const SimState&, std::uint8_t v) { return v == 0x26 || v == 0x34; });
}

std::int32_t SimulatedReader::UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetReadTagIntervalTime", addr, &SimState::readTagInterval, value, AnyByte);
}

std::int32_t SimulatedReader::UhfSetOutPower(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetOutPower", addr, &SimState::outPower, value,
                 [](const SimState& state, std::uint8_t v) {
                   const PowerRange range = PowerRangeOf(state.readerKind);
                   return v >= range.low && v <= range.high;
                 });
}

std::int32_t SimulatedReader::UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) {
  return SetByte("UhfSetBuzzer", addr, &SimState::buzzer, value, AnyByte);
}

// --- records ---

std::int32_t SimulatedReader::UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) {
  if (std::int32_t s = Enter(CallText("UhfGetWgOutByte", addr), Access::Linked, addr)) return s;
  if (record == nullptr) {
    return kRefused;
  }
  std::copy(state_.wgOutRecord.begin(), state_.wgOutRecord.end(), record);
  return 0;
}

std::int32_t SimulatedReader::UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) {
  const std::string call =
      record != nullptr
          ? CallText("UhfSetWgOutByte", addr, record[0], record[1], record[2], record[3])
          : CallText("UhfSetWgOutByte", addr, HexToken(record, 0));
  if (std::int32_t s = Enter(call, Access::Linked, addr)) return s;
  if (record == nullptr || record[1] > 11 || record[2] > 12) {
    return kRefused;
  }
  return Modify([&](SimState& next) {
    std::copy_n(record, next.wgOutRecord.size(), next.wgOutRecord.begin());
    return 0;
  });
}

std::int32_t SimulatedReader::UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                                             std::uint8_t* password) {
  if (std::int32_t s = Enter(CallText("UhfGetPassword", addr), Access::Linked, addr)) return s;
  if (enabled == nullptr || password == nullptr) {
    return kRefused;
  }
  *enabled = state_.passwordEnabled;
  std::copy(state_.password.begin(), state_.password.end(), password);
  return 0;
}

std::int32_t SimulatedReader::UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                             const std::uint8_t* password) {
  const std::string call = password != nullptr
                               ? CallText("UhfSetPassword", addr, enabled, password[0], password[1],
                                          password[2], password[3])
                               : CallText("UhfSetPassword", addr, enabled, HexToken(password, 0));
  if (std::int32_t s = Enter(call, Access::Linked, addr)) return s;
  if (password == nullptr) {
    return kRefused;
  }
  return Modify([&](SimState& next) {
    next.passwordEnabled = enabled;
    std::copy_n(password, next.password.size(), next.password.begin());
    return 0;
  });
}

// --- frequency plan ---

std::int32_t SimulatedReader::UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form,
                                                    std::int32_t* start, std::int32_t* end,
                                                    std::int32_t* step, std::uint8_t* count) {
  if (std::int32_t s = Enter(CallText("UhfGetFrequencyRegion", addr), Access::Linked, addr)) {
    return s;
  }
  if (form == nullptr || start == nullptr || end == nullptr || step == nullptr ||
      count == nullptr) {
    return kRefused;
  }
  *form = state_.regionForm;
  *start = state_.regionStart;
  *end = state_.regionEnd;
  *step = state_.regionStep;
  *count = state_.regionCount;
  return 0;
}

std::int32_t SimulatedReader::UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                                    std::int32_t start, std::int32_t end,
                                                    std::int32_t step, std::uint8_t count) {
  if (std::int32_t s = Enter(CallText("UhfSetFrequencyRegion", addr, form, start, end, step, count),
                             Access::Linked, addr)) {
    return s;
  }
  return SetPlan(form, start, end, step, count);
}

std::int32_t SimulatedReader::UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                                     std::int32_t start, std::int32_t end,
                                                     std::int32_t step, std::uint8_t count) {
  if (std::int32_t s =
          Enter(CallText("UhfSetFrequencyRegionB", addr, form, start, end, step, count),
                Access::Linked, addr)) {
    return s;
  }
  if (form != 4) {
    return kRefused;
  }
  return SetPlan(form, start, end, step, count);
}

std::int32_t SimulatedReader::UhfFactoryDefault(std::uint8_t addr) {
  if (std::int32_t s = Enter(CallText("UhfFactoryDefault", addr), Access::Linked, addr)) return s;
  return Modify([](SimState& next) {
    SimState reset = FactoryState(next.readerKind, next.etsiBand);
    reset.version = next.version;
    reset.serial = next.serial;
    reset.tags = next.tags;
    next = std::move(reset);
    return 0;
  });
}

// --- tags ---

std::int32_t SimulatedReader::UhfReadTag(std::uint8_t addr, std::uint8_t* reply,
                                         std::uint8_t* length) {
  if (std::int32_t s = Enter(CallText("UhfReadTag", addr), Access::Linked, addr)) return s;
  if (reply == nullptr || length == nullptr) {
    return kRefused;
  }
  if (!rawReplies_.empty()) {
    const std::vector<std::uint8_t>& raw = rawReplies_.front();
    std::copy(raw.begin(), raw.end(), reply);
    *length = static_cast<std::uint8_t>(raw.size());
    rawReplies_.pop_front();
    return 0;
  }
  if (state_.tags.empty()) {
    return kNoTag;
  }
  const std::size_t index = nextTag_ % state_.tags.size();
  const std::vector<std::uint8_t>& epc = state_.tags[index];
  nextTag_ = index + 1;
  // Kind 2 replies the tag's PC word then the EPC; the others add an antenna byte in front and
  // a checksum byte behind.
  const bool compact = state_.readerKind == 2;
  const std::size_t size = epc.size() + (compact ? 2 : 4);
  if (size > kMaxReply) {
    return kRefused;  // the reply length would not fit its byte
  }
  const unsigned words = static_cast<unsigned>(std::min<std::size_t>((epc.size() + 1) / 2, 31));
  const std::uint8_t pcHigh = static_cast<std::uint8_t>(words << 3);
  std::size_t at = 0;
  if (!compact) {
    reply[at++] = 1;  // antenna
  }
  reply[at++] = pcHigh;
  reply[at++] = 0x00;
  std::copy(epc.begin(), epc.end(), reply + at);
  at += epc.size();
  if (!compact) {
    std::uint8_t check = 0;
    for (std::size_t i = 0; i < at; ++i) {
      check ^= reply[i];
    }
    reply[at++] = check;
  }
  *length = static_cast<std::uint8_t>(at);
  return 0;
}

std::int32_t SimulatedReader::EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength,
                                        std::uint8_t inverted, std::int32_t startByte,
                                        std::int32_t length, std::uint8_t* out) {
  if (std::int32_t s = Enter(
          CallText("EpcOutput", HexToken(epc, epcLength), epcLength, inverted, startByte, length),
          Access::Free)) {
    return s;
  }
  if (epc == nullptr || out == nullptr || startByte < 0 || length < 0 || length > 12 ||
      std::int64_t{startByte} + length > epcLength) {
    return kRefused;
  }
  const std::uint8_t* first = epc + startByte;
  if (inverted != 0) {
    std::reverse_copy(first, first + length, out);
  } else {
    std::copy(first, first + length, out);
  }
  return 0;
}

// --- text helpers ---

std::int32_t SimulatedReader::hex_a(const std::uint8_t* bytes, char* text,
                                    std::int32_t textLength) {
  const std::size_t byteCount = textLength > 0 ? (static_cast<std::size_t>(textLength) + 1) / 2 : 0;
  if (std::int32_t s =
          Enter(CallText("hex_a", HexToken(bytes, byteCount), textLength), Access::Free)) {
    return s;
  }
  if (bytes == nullptr || text == nullptr || textLength < 0) {
    return kRefused;
  }
  for (std::int32_t i = 0; i < textLength; ++i) {
    const std::uint8_t byte = bytes[i / 2];
    text[i] = HexDigit(i % 2 == 0 ? byte >> 4u : byte);
  }
  text[textLength] = '\0';
  return 0;
}

std::int32_t SimulatedReader::a_hex(const char* text, std::uint8_t* bytes,
                                    std::int32_t textLength) {
  const std::size_t shown = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
  if (std::int32_t s = Enter(CallText("a_hex", Quoted(text, shown), textLength), Access::Free)) {
    return s;
  }
  if (text == nullptr || bytes == nullptr || textLength < 0) {
    return kRefused;
  }
  for (std::int32_t i = 0; i + 1 < textLength; i += 2) {
    const int high = HexDigitValue(text[i]);
    if (high < 0) {
      return kRefused;
    }
    const int low = HexDigitValue(text[i + 1]);
    if (low < 0) {
      return kRefused;
    }
    bytes[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return textLength % 2 == 0 ? 0 : kRefused;
}

}  // namespace uhf
