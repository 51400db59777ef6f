#include "sim/SimulatedReader.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "text/DottedAddress.h"
#include "text/Hex.h"

namespace uhf {

namespace {

// Statuses of the simulated device (1: the status of an injected failure).
constexpr std::int32_t kRefused = 2;       // value or argument the reader does not take
constexpr std::int32_t kNoLink = 3;        // no link open
constexpr std::int32_t kWrongAddress = 4;  // bus address other than 255
constexpr std::int32_t kNoTag = 5;         // no tag in the field
constexpr std::int32_t kStorage = 6;       // the setting could not be stored
constexpr std::int32_t kLinkBusy = 8;  // a link is already open (7: internal error of the exports)
constexpr std::int32_t kNoReader = 9;  // no reader is plugged in at the other end

constexpr std::size_t kMaxVersionLength = 29;
constexpr std::size_t kMaxReply = 255;

bool AnyByte(const SimState&, std::uint8_t) {
  return true;
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

}  // namespace

SimulatedReader::SimulatedReader(SimOptions options)
    : store_(std::move(options.statePath), FactoryState(options.readerKind, options.etsiBand)) {}

std::int32_t SimulatedReader::Modify(const std::function<std::int32_t(SimState&)>& change) {
  return store_.Modify(
      [&](SimState& next) {
        if (next.writesFail) return kStorage;
        return change(next);
      },
      kStorage);
}

void SimulatedReader::QueueRawReply(std::vector<std::uint8_t> reply) {
  if (reply.size() > kMaxReply) {
    throw std::invalid_argument("QueueRawReply: a reply holds at most 255 bytes");
  }
  rawReplies_.push_back(std::move(reply));
}

std::int32_t SimulatedReader::Linked(std::uint8_t addr) {
  if (!linkOpen_) {
    return kNoLink;
  }
  if (addr != ReaderBusAddress) {
    return kWrongAddress;
  }
  store_.Refresh();  // the device is one: show what other processes set
  return store_.State().attached ? 0 : kNoReader;  // unplugged while the link was open
}

std::int32_t SimulatedReader::Plugged() {
  store_.Refresh();  // plugging in and out happens in the state file
  return store_.State().attached ? 0 : kNoReader;
}

std::int32_t SimulatedReader::SetByte(std::uint8_t addr, std::uint8_t SimState::*member,
                                      std::uint8_t value, ByteCheck accepts) {
  if (std::int32_t s = Linked(addr)) {
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
  const bool baudOk = baud == 0 || baud == 9600 || baud == 19200 || baud == 38400 ||
                      baud == 57600 || baud == 115200;
  if (port < 0 || port > 255 || !baudOk) {
    return kRefused;
  }
  // Like a real port: a link still open must be closed first.
  if (linkOpen_) {
    return kLinkBusy;
  }
  if (std::int32_t s = Plugged()) return s;
  linkOpen_ = true;  // port 100 is the USB link, the others serial ports
  return 0;
}

std::int32_t SimulatedReader::Net_Connect(const char* hostIp, std::int32_t hostPort,
                                          const char* readerIp, std::int32_t readerPort) {
  if (hostIp == nullptr || readerIp == nullptr || !IsDottedAddress(hostIp) ||
      !IsDottedAddress(readerIp) || !ValidPort(hostPort) || !ValidPort(readerPort)) {
    return kRefused;
  }
  if (linkOpen_) {
    return kLinkBusy;
  }
  if (!stateDir_.empty()) {
    // One reader per address: nothing answers where no state file is.
    std::filesystem::path file =
        stateDir_ / (std::string(readerIp) + "_" + std::to_string(readerPort) + ".ini");
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return kNoReader;
    store_ = SimStateStore(std::move(file), store_.State());
  }
  if (std::int32_t s = Plugged()) return s;
  linkOpen_ = true;
  return 0;
}

std::int32_t SimulatedReader::CloseCom() {
  linkOpen_ = false;
  return 0;
}

std::int32_t SimulatedReader::Handshake(std::uint8_t addr, std::uint8_t connecting,
                                        std::uint8_t* readerKind, std::uint8_t* extra) {
  if (std::int32_t s = Linked(addr)) {
    return s;
  }
  if (connecting > 1 || readerKind == nullptr || extra == nullptr) {
    return kRefused;
  }
  *readerKind = store_.State().readerKind;
  *extra = store_.State().etsiBand ? 1 : 0;
  return 0;
}

// --- identity ---

std::int32_t SimulatedReader::Get_Version(std::uint8_t addr, char* version) {
  if (std::int32_t s = Linked(addr)) return s;
  if (version == nullptr) {
    return kRefused;
  }
  const std::size_t length = std::min(store_.State().version.size(), kMaxVersionLength);
  std::copy_n(store_.State().version.data(), length, version);
  version[length] = '\0';
  return 0;
}

std::int32_t SimulatedReader::Get_SerNum(std::uint8_t addr, std::uint8_t* serial) {
  if (std::int32_t s = Linked(addr)) return s;
  if (serial == nullptr) {
    return kRefused;
  }
  std::copy(store_.State().serial.begin(), store_.State().serial.end(), serial);
  return 0;
}

// --- byte settings ---

#define UHF_BYTE_GETTER(Name, member)                                          \
  std::int32_t SimulatedReader::Name(std::uint8_t addr, std::uint8_t* value) { \
    if (std::int32_t s = Linked(addr)) return s;                               \
    if (value == nullptr) return kRefused;                                     \
    *value = store_.State().member;                                            \
    return 0;                                                                  \
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
  return SetByte(addr, &SimState::address, value, AnyByte);
}

std::int32_t SimulatedReader::UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::workMode, value,
                 [](const SimState&, std::uint8_t v) { return v <= 1; });
}

std::int32_t SimulatedReader::UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::triggerTime, value,
                 [](const SimState&, std::uint8_t v) { return v != 0; });
}

std::int32_t SimulatedReader::UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::wgIntervalTime, value, AnyByte);
}

std::int32_t SimulatedReader::UhfSetWeigand(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::weigand, value,
                 [](const SimState&, std::uint8_t v) { return v == 0x26 || v == 0x34; });
}

std::int32_t SimulatedReader::UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::readTagInterval, value, AnyByte);
}

std::int32_t SimulatedReader::UhfSetOutPower(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::outPower, value, [](const SimState& state, std::uint8_t v) {
    const PowerRange range = PowerRangeOf(state.readerKind);
    return v >= range.low && v <= range.high;
  });
}

std::int32_t SimulatedReader::UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) {
  return SetByte(addr, &SimState::buzzer, value, AnyByte);
}

// --- records ---

std::int32_t SimulatedReader::UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) {
  if (std::int32_t s = Linked(addr)) return s;
  if (record == nullptr) {
    return kRefused;
  }
  std::copy(store_.State().wgOutRecord.begin(), store_.State().wgOutRecord.end(), record);
  return 0;
}

std::int32_t SimulatedReader::UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) {
  if (std::int32_t s = Linked(addr)) return s;
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
  if (std::int32_t s = Linked(addr)) return s;
  if (enabled == nullptr || password == nullptr) {
    return kRefused;
  }
  *enabled = store_.State().passwordEnabled;
  std::copy(store_.State().password.begin(), store_.State().password.end(), password);
  return 0;
}

std::int32_t SimulatedReader::UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                             const std::uint8_t* password) {
  if (std::int32_t s = Linked(addr)) return s;
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
  if (std::int32_t s = Linked(addr)) {
    return s;
  }
  if (form == nullptr || start == nullptr || end == nullptr || step == nullptr ||
      count == nullptr) {
    return kRefused;
  }
  *form = store_.State().regionForm;
  *start = store_.State().regionStart;
  *end = store_.State().regionEnd;
  *step = store_.State().regionStep;
  *count = store_.State().regionCount;
  return 0;
}

std::int32_t SimulatedReader::UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                                    std::int32_t start, std::int32_t end,
                                                    std::int32_t step, std::uint8_t count) {
  if (std::int32_t s = Linked(addr)) {
    return s;
  }
  return SetPlan(form, start, end, step, count);
}

std::int32_t SimulatedReader::UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                                     std::int32_t start, std::int32_t end,
                                                     std::int32_t step, std::uint8_t count) {
  if (std::int32_t s = Linked(addr)) {
    return s;
  }
  if (form != 4) {
    return kRefused;
  }
  return SetPlan(form, start, end, step, count);
}

std::int32_t SimulatedReader::UhfFactoryDefault(std::uint8_t addr) {
  if (std::int32_t s = Linked(addr)) return s;
  return Modify([](SimState& next) {
    SimState reset = FactoryState(next.readerKind, next.etsiBand);
    reset.version = next.version;
    reset.serial = next.serial;
    reset.tags = next.tags;
    reset.attached = next.attached;
    reset.writesFail = next.writesFail;
    next = std::move(reset);
    return 0;
  });
}

// --- tags ---

std::int32_t SimulatedReader::UhfReadTag(std::uint8_t addr, std::uint8_t* reply,
                                         std::uint8_t* length) {
  if (std::int32_t s = Linked(addr)) return s;
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
  if (store_.State().tags.empty()) {
    return kNoTag;
  }
  const std::size_t index = nextTag_ % store_.State().tags.size();
  const std::vector<std::uint8_t>& epc = store_.State().tags[index];
  nextTag_ = index + 1;
  // Kind 2 replies the tag's PC word then the EPC; the others add an antenna byte in front and
  // a checksum byte behind.
  const bool compact = store_.State().readerKind == 2;
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
