#include "sim/HostileDriver.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace uhf {

namespace {

// Failure shares a seed picks from: never, rarely, often, half of the calls.
constexpr std::uint8_t kFailureRates[] = {0, 0, 4, 16, 64, 128};

}  // namespace

HostileDriver::HostileDriver(std::uint64_t seed) {
  Reseed(seed);
}

void HostileDriver::Reseed(std::uint64_t seed) {
  fromBytes_ = false;
  bytes_.clear();
  at_ = 0;
  calls_.clear();
  state_ = seed;
  failurePer256_ = kFailureRates[Next() % std::size(kFailureRates)];
}

HostileDriver::HostileDriver(std::span<const std::uint8_t> bytes)
    : fromBytes_(true), bytes_(bytes.begin(), bytes.end()) {
  failurePer256_ = Byte();
}

std::uint32_t HostileDriver::Next() {
  if (fromBytes_) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      value = (value << 8) | (at_ < bytes_.size() ? bytes_[at_++] : 0u);
    }
    return value;
  }
  // splitmix64
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 16);
}

std::uint8_t HostileDriver::Byte() {
  if (fromBytes_) return at_ < bytes_.size() ? bytes_[at_++] : 0;
  return static_cast<std::uint8_t>(Next());
}

std::uint8_t HostileDriver::EdgeByte() {
  static constexpr std::uint8_t kEdges[] = {0,  1,  2,  3,   5,   9,   11,  12,   13,
                                            18, 20, 21, 26,  27,  33,  34,  0x26, 0x34,
                                            62, 63, 64, 127, 128, 200, 254, 255};
  const std::uint8_t pick = Byte();
  if (pick < 160) return kEdges[pick % std::size(kEdges)];
  return Byte();
}

std::int32_t HostileDriver::EdgeInt() {
  static constexpr std::int32_t kEdges[] = {0,
                                            1,
                                            -1,
                                            62,
                                            63,
                                            64,
                                            255,
                                            256,
                                            864500,
                                            865000,
                                            868000,
                                            868500,
                                            901500,
                                            902000,
                                            926000,
                                            928000,
                                            928500,
                                            std::numeric_limits<std::int32_t>::min(),
                                            std::numeric_limits<std::int32_t>::max()};
  const std::uint8_t pick = Byte();
  if (pick < 200) return kEdges[pick % std::size(kEdges)];
  return static_cast<std::int32_t>(Next());
}

std::int32_t HostileDriver::Status() {
  if (Byte() >= failurePer256_) return 0;
  const auto status = static_cast<std::int32_t>(Next());
  return status != 0 ? status : -1;
}

bool HostileDriver::Writes(std::int32_t status) {
  return status == 0 || Byte() < 64;
}

void HostileDriver::PutInt(std::vector<std::uint8_t>& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

bool HostileDriver::AllSucceeded() const {
  return std::all_of(calls_.begin(), calls_.end(), [](const Call& c) { return c.status == 0; });
}

HostileDriver::Call& HostileDriver::Begin(std::string name, std::vector<std::int64_t> values) {
  calls_.push_back({std::move(name), std::move(values), Status(), {}});
  return calls_.back();
}

std::int32_t HostileDriver::ByteOut(std::string name, std::uint8_t addr, std::uint8_t* value) {
  Call& call = Begin(std::move(name), {addr});
  if (Writes(call.status)) {
    *value = EdgeByte();
    call.out.push_back(*value);
  }
  return call.status;
}

std::int32_t HostileDriver::ByteIn(std::string name, std::uint8_t addr, std::uint8_t value) {
  return Begin(std::move(name), {addr, value}).status;
}

std::int32_t HostileDriver::Region(std::string name, std::uint8_t addr, std::uint8_t form,
                                   std::int32_t start, std::int32_t end, std::int32_t step,
                                   std::uint8_t count) {
  return Begin(std::move(name), {addr, form, start, end, step, count}).status;
}

// --- link ---

std::int32_t HostileDriver::OpenCom(std::int32_t port, std::int32_t baud) {
  return Begin("OpenCom", {port, baud}).status;
}

std::int32_t HostileDriver::Net_Connect(const char* hostIp, std::int32_t hostPort,
                                        const char* readerIp, std::int32_t readerPort) {
  // The texts are read to their end, as a real library would.
  const auto hostLength = static_cast<std::int64_t>(std::strlen(hostIp));
  const auto readerLength = static_cast<std::int64_t>(std::strlen(readerIp));
  return Begin("Net_Connect", {hostLength, hostPort, readerLength, readerPort}).status;
}

std::int32_t HostileDriver::CloseCom() {
  return Begin("CloseCom", {}).status;
}

std::int32_t HostileDriver::Handshake(std::uint8_t addr, std::uint8_t connecting,
                                      std::uint8_t* readerKind, std::uint8_t* extra) {
  Call& call = Begin("Handshake", {addr, connecting});
  if (Writes(call.status)) {
    // Mostly the known kinds, often any other byte.
    const std::uint8_t pick = Byte();
    *readerKind = pick < 160 ? static_cast<std::uint8_t>(pick % 3) : Byte();
    *extra = Byte();
    call.out = {*readerKind, *extra};
  }
  return call.status;
}

std::int32_t HostileDriver::Get_Version(std::uint8_t addr, char* version) {
  Call& call = Begin("Get_Version", {addr});
  if (Writes(call.status)) {
    // Any bytes, often filling the whole promised buffer without a terminating zero.
    const std::size_t length = Byte() < 96 ? kVersionBytes : Byte() % (kVersionBytes + 1);
    for (std::size_t i = 0; i < length; ++i) {
      const std::uint8_t pick = Byte();
      version[i] = static_cast<char>(pick < 128 ? 'A' + pick % 26 : Byte());
      call.out.push_back(static_cast<std::uint8_t>(version[i]));
    }
    if (length < kVersionBytes) {
      version[length] = '\0';
      call.out.push_back(0);
    }
  }
  return call.status;
}

std::int32_t HostileDriver::Get_SerNum(std::uint8_t addr, std::uint8_t* serial) {
  Call& call = Begin("Get_SerNum", {addr});
  if (Writes(call.status)) {
    for (std::size_t i = 0; i < kSerialBytes; ++i) {
      serial[i] = Byte();
      call.out.push_back(serial[i]);
    }
  }
  return call.status;
}

std::int32_t HostileDriver::UhfGetAddress(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetAddress", addr, value);
}
std::int32_t HostileDriver::UhfSetAddress(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetAddress", addr, value);
}
std::int32_t HostileDriver::UhfGetWorkMode(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetWorkMode", addr, value);
}
std::int32_t HostileDriver::UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetWorkMode", addr, value);
}
std::int32_t HostileDriver::UhfGetTriggerTime(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetTriggerTime", addr, value);
}
std::int32_t HostileDriver::UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetTriggerTime", addr, value);
}
std::int32_t HostileDriver::UhfGetWgIntervalTime(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetWgIntervalTime", addr, value);
}
std::int32_t HostileDriver::UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetWgIntervalTime", addr, value);
}
std::int32_t HostileDriver::UhfGetWeigand(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetWeigand", addr, value);
}
std::int32_t HostileDriver::UhfSetWeigand(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetWeigand", addr, value);
}
std::int32_t HostileDriver::UhfGetReadTagIntervalTime(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetReadTagIntervalTime", addr, value);
}
std::int32_t HostileDriver::UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetReadTagIntervalTime", addr, value);
}
std::int32_t HostileDriver::UhfGetOutPower(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetOutPower", addr, value);
}
std::int32_t HostileDriver::UhfSetOutPower(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetOutPower", addr, value);
}
std::int32_t HostileDriver::UhfGetBuzzer(std::uint8_t addr, std::uint8_t* value) {
  return ByteOut("UhfGetBuzzer", addr, value);
}
std::int32_t HostileDriver::UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) {
  return ByteIn("UhfSetBuzzer", addr, value);
}

std::int32_t HostileDriver::UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) {
  Call& call = Begin("UhfGetWgOutByte", {addr});
  if (Writes(call.status)) {
    for (int i = 0; i < 4; ++i) {
      record[i] = EdgeByte();
      call.out.push_back(record[i]);
    }
  }
  return call.status;
}

std::int32_t HostileDriver::UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) {
  return Begin("UhfSetWgOutByte", {addr, record[0], record[1], record[2], record[3]}).status;
}

std::int32_t HostileDriver::UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                                           std::uint8_t* password) {
  Call& call = Begin("UhfGetPassword", {addr});
  if (Writes(call.status)) {
    *enabled = EdgeByte();
    call.out.push_back(*enabled);
    for (int i = 0; i < 4; ++i) {
      password[i] = Byte();
      call.out.push_back(password[i]);
    }
  }
  return call.status;
}

std::int32_t HostileDriver::UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                           const std::uint8_t* password) {
  return Begin("UhfSetPassword",
               {addr, enabled, password[0], password[1], password[2], password[3]})
      .status;
}

std::int32_t HostileDriver::UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form,
                                                  std::int32_t* start, std::int32_t* end,
                                                  std::int32_t* step, std::uint8_t* count) {
  Call& call = Begin("UhfGetFrequencyRegion", {addr});
  if (Writes(call.status)) {
    // Forms 4 and 5 and unknown ones; starts and ends on and off the bands' edges.
    *form = Byte() < 128 ? static_cast<std::uint8_t>(4 + Byte() % 2) : Byte();
    *start = EdgeInt();
    *end = EdgeInt();
    *step = EdgeInt();
    *count = EdgeByte();
    call.out.push_back(*form);
    PutInt(call.out, *start);
    PutInt(call.out, *end);
    PutInt(call.out, *step);
    call.out.push_back(*count);
  }
  return call.status;
}

std::int32_t HostileDriver::UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                                  std::int32_t start, std::int32_t end,
                                                  std::int32_t step, std::uint8_t count) {
  return Region("UhfSetFrequencyRegion", addr, form, start, end, step, count);
}

std::int32_t HostileDriver::UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                                   std::int32_t start, std::int32_t end,
                                                   std::int32_t step, std::uint8_t count) {
  return Region("UhfSetFrequencyRegionB", addr, form, start, end, step, count);
}

std::int32_t HostileDriver::UhfFactoryDefault(std::uint8_t addr) {
  return Begin("UhfFactoryDefault", {addr}).status;
}

std::int32_t HostileDriver::UhfReadTag(std::uint8_t addr, std::uint8_t* reply,
                                       std::uint8_t* length) {
  Call& call = Begin("UhfReadTag", {addr, *length});
  if (Writes(call.status)) {
    // Any length byte, whatever the bytes written: short replies, replies with a length past
    // what was written, and full 256-byte buffers.
    const std::uint8_t pick = Byte();
    const std::size_t filled = pick < 64 ? kReplyBytes : static_cast<std::size_t>(Byte()) % 40;
    for (std::size_t i = 0; i < filled; ++i) reply[i] = Byte();
    const std::uint8_t lengthPick = Byte();
    *length = lengthPick < 128 ? static_cast<std::uint8_t>(filled) : Byte();
    call.out.assign(reply, reply + kReplyBytes);
    call.out.push_back(*length);
  }
  return call.status;
}

std::int32_t HostileDriver::EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength,
                                      std::uint8_t inverted, std::int32_t startByte,
                                      std::int32_t length, std::uint8_t* out) {
  // The EPC is read as far as the caller says it reaches.
  std::int64_t sum = 0;
  for (std::uint8_t i = 0; i < epcLength; ++i) sum += epc[i];
  Call& call = Begin("EpcOutput", {epcLength, inverted, startByte, length, sum});
  if (Writes(call.status)) {
    const std::size_t count =
        std::min<std::size_t>(length > 0 ? static_cast<std::size_t>(length) : 0, kCardBytes);
    for (std::size_t i = 0; i < count; ++i) out[i] = Byte();
    call.out.assign(out, out + count);
  }
  return call.status;
}

std::int32_t HostileDriver::hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) {
  const std::size_t chars = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < (chars + 1) / 2; ++i) sum += bytes[i];
  Call& call = Begin("hex_a", {textLength, sum});
  if (Writes(call.status)) {
    // Exactly textLength characters, no terminating zero.
    for (std::size_t i = 0; i < chars; ++i) text[i] = static_cast<char>(Byte());
    call.out.assign(text, text + chars);
  }
  return call.status;
}

std::int32_t HostileDriver::a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) {
  const std::size_t chars = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < chars; ++i) sum += static_cast<unsigned char>(text[i]);
  Call& call = Begin("a_hex", {textLength, sum});
  if (Writes(call.status)) {
    // Two characters per byte, a last odd character making a byte of its own.
    const std::size_t count = (chars + 1) / 2;
    for (std::size_t i = 0; i < count; ++i) bytes[i] = Byte();
    call.out.assign(bytes, bytes + count);
  }
  return call.status;
}

}  // namespace uhf
