#include "driver/LoggingDriver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

namespace uhf {

namespace {

// The version buffer is at least this long, so the log never reads further.
constexpr std::size_t kVersionRoom = 30;

std::string Quoted(const char* text, std::size_t maxBytes) {
  if (text == nullptr) return "-";
  std::string out = "\"";
  for (std::size_t i = 0; i < maxBytes && text[i] != '\0'; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

template <typename T>
std::string Value(const T* value) {
  return value != nullptr ? std::to_string(static_cast<long long>(*value)) : std::string("-");
}

}  // namespace

std::string ExchangeLogTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(millis));
  return text;
}

std::string ExchangeLogHex(const std::uint8_t* bytes, std::size_t count) {
  if (bytes == nullptr) return "-";
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0f];
  }
  return text;
}

// "Name(a=1,b=2)" built one argument at a time.
class LoggingDriver::Line {
 public:
  explicit Line(const char* name) : text_(name) { text_ += '('; }
  Line& Arg(const char* name, std::string value) {
    if (!first_) text_ += ',';
    first_ = false;
    text_ += name;
    text_ += '=';
    text_ += value;
    return *this;
  }
  Line& Arg(const char* name, long long value) { return Arg(name, std::to_string(value)); }
  std::string Text() const { return text_ + ')'; }

 private:
  std::string text_;
  bool first_ = true;
};

// The call of a frequency plan write.
LoggingDriver::Line LoggingDriver::PlanLine(const char* name, std::uint8_t addr, std::uint8_t form,
                                            std::int32_t start, std::int32_t end, std::int32_t step,
                                            std::uint8_t count) {
  Line line(name);
  line.Arg("addr", addr).Arg("form", form).Arg("start", start).Arg("end", end).Arg("step", step);
  line.Arg("count", count);
  return line;
}

LoggingDriver::LoggingDriver(ReaderDriver& inner, Sink sink)
    : inner_(inner), sink_(std::move(sink)) {}

void LoggingDriver::Emit(const Line& line, std::int32_t status, const std::string& outputs) {
  std::string text = ExchangeLogTime() + ' ' + line.Text() + " -> " + std::to_string(status);
  if (!outputs.empty()) text += ' ' + outputs;
  sink_(text);
}

std::int32_t LoggingDriver::OpenCom(std::int32_t port, std::int32_t baud) {
  const std::int32_t status = inner_.OpenCom(port, baud);
  Emit(Line("OpenCom").Arg("port", port).Arg("baud", baud), status, {});
  return status;
}

std::int32_t LoggingDriver::Net_Connect(const char* hostIp, std::int32_t hostPort,
                                        const char* readerIp, std::int32_t readerPort) {
  const std::int32_t status = inner_.Net_Connect(hostIp, hostPort, readerIp, readerPort);
  Emit(Line("Net_Connect")
           .Arg("hostIp", Quoted(hostIp, 32))
           .Arg("hostPort", hostPort)
           .Arg("readerIp", Quoted(readerIp, 32))
           .Arg("readerPort", readerPort),
       status, {});
  return status;
}

std::int32_t LoggingDriver::CloseCom() {
  const std::int32_t status = inner_.CloseCom();
  Emit(Line("CloseCom"), status, {});
  return status;
}

std::int32_t LoggingDriver::Handshake(std::uint8_t addr, std::uint8_t connecting,
                                      std::uint8_t* readerKind, std::uint8_t* extra) {
  const std::int32_t status = inner_.Handshake(addr, connecting, readerKind, extra);
  Emit(Line("Handshake").Arg("addr", addr).Arg("connecting", connecting), status,
       "readerKind=" + Value(readerKind) + " extra=" + Value(extra));
  return status;
}

std::int32_t LoggingDriver::Get_Version(std::uint8_t addr, char* version) {
  const std::int32_t status = inner_.Get_Version(addr, version);
  Emit(Line("Get_Version").Arg("addr", addr), status, "version=" + Quoted(version, kVersionRoom));
  return status;
}

std::int32_t LoggingDriver::Get_SerNum(std::uint8_t addr, std::uint8_t* serial) {
  const std::int32_t status = inner_.Get_SerNum(addr, serial);
  Emit(Line("Get_SerNum").Arg("addr", addr), status, "serial=" + ExchangeLogHex(serial, 12));
  return status;
}

#define UHF_LOGGED_BYTE_PAIR(Getter, Setter)                                   \
  std::int32_t LoggingDriver::Getter(std::uint8_t addr, std::uint8_t* value) { \
    const std::int32_t status = inner_.Getter(addr, value);                    \
    Emit(Line(#Getter).Arg("addr", addr), status, "value=" + Value(value));    \
    return status;                                                             \
  }                                                                            \
  std::int32_t LoggingDriver::Setter(std::uint8_t addr, std::uint8_t value) {  \
    const std::int32_t status = inner_.Setter(addr, value);                    \
    Emit(Line(#Setter).Arg("addr", addr).Arg("value", value), status, {});     \
    return status;                                                             \
  }

UHF_LOGGED_BYTE_PAIR(UhfGetAddress, UhfSetAddress)
UHF_LOGGED_BYTE_PAIR(UhfGetWorkMode, UhfSetWorkMode)
UHF_LOGGED_BYTE_PAIR(UhfGetTriggerTime, UhfSetTriggerTime)
UHF_LOGGED_BYTE_PAIR(UhfGetWgIntervalTime, UhfSetWgIntervalTime)
UHF_LOGGED_BYTE_PAIR(UhfGetWeigand, UhfSetWeigand)
UHF_LOGGED_BYTE_PAIR(UhfGetReadTagIntervalTime, UhfSetReadTagIntervalTime)
UHF_LOGGED_BYTE_PAIR(UhfGetOutPower, UhfSetOutPower)
UHF_LOGGED_BYTE_PAIR(UhfGetBuzzer, UhfSetBuzzer)
#undef UHF_LOGGED_BYTE_PAIR

std::int32_t LoggingDriver::UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) {
  const std::int32_t status = inner_.UhfGetWgOutByte(addr, record);
  Emit(Line("UhfGetWgOutByte").Arg("addr", addr), status, "record=" + ExchangeLogHex(record, 4));
  return status;
}

std::int32_t LoggingDriver::UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) {
  const std::int32_t status = inner_.UhfSetWgOutByte(addr, record);
  Emit(Line("UhfSetWgOutByte").Arg("addr", addr).Arg("record", ExchangeLogHex(record, 4)), status,
       {});
  return status;
}

std::int32_t LoggingDriver::UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                                           std::uint8_t* password) {
  const std::int32_t status = inner_.UhfGetPassword(addr, enabled, password);
  Emit(Line("UhfGetPassword").Arg("addr", addr), status,
       "enabled=" + Value(enabled) + " password=" + ExchangeLogHex(password, 4));
  return status;
}

std::int32_t LoggingDriver::UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                           const std::uint8_t* password) {
  const std::int32_t status = inner_.UhfSetPassword(addr, enabled, password);
  Emit(Line("UhfSetPassword")
           .Arg("addr", addr)
           .Arg("enabled", enabled)
           .Arg("password", ExchangeLogHex(password, 4)),
       status, {});
  return status;
}

std::int32_t LoggingDriver::UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form,
                                                  std::int32_t* start, std::int32_t* end,
                                                  std::int32_t* step, std::uint8_t* count) {
  const std::int32_t status = inner_.UhfGetFrequencyRegion(addr, form, start, end, step, count);
  Emit(Line("UhfGetFrequencyRegion").Arg("addr", addr), status,
       "form=" + Value(form) + " start=" + Value(start) + " end=" + Value(end) +
           " step=" + Value(step) + " count=" + Value(count));
  return status;
}

std::int32_t LoggingDriver::UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                                  std::int32_t start, std::int32_t end,
                                                  std::int32_t step, std::uint8_t count) {
  const std::int32_t status = inner_.UhfSetFrequencyRegion(addr, form, start, end, step, count);
  Emit(PlanLine("UhfSetFrequencyRegion", addr, form, start, end, step, count), status, {});
  return status;
}

std::int32_t LoggingDriver::UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                                   std::int32_t start, std::int32_t end,
                                                   std::int32_t step, std::uint8_t count) {
  const std::int32_t status = inner_.UhfSetFrequencyRegionB(addr, form, start, end, step, count);
  Emit(PlanLine("UhfSetFrequencyRegionB", addr, form, start, end, step, count), status, {});
  return status;
}

std::int32_t LoggingDriver::UhfFactoryDefault(std::uint8_t addr) {
  const std::int32_t status = inner_.UhfFactoryDefault(addr);
  Emit(Line("UhfFactoryDefault").Arg("addr", addr), status, {});
  return status;
}

std::int32_t LoggingDriver::UhfReadTag(std::uint8_t addr, std::uint8_t* reply,
                                       std::uint8_t* length) {
  const std::int32_t status = inner_.UhfReadTag(addr, reply, length);
  const std::size_t replied = length != nullptr ? *length : 0;
  Emit(Line("UhfReadTag").Arg("addr", addr), status,
       "length=" + Value(length) + " reply=" + ExchangeLogHex(reply, replied));
  return status;
}

std::int32_t LoggingDriver::EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength,
                                      std::uint8_t inverted, std::int32_t startByte,
                                      std::int32_t length, std::uint8_t* out) {
  const std::int32_t status = inner_.EpcOutput(epc, epcLength, inverted, startByte, length, out);
  // The card bytes buffer holds 50 bytes.
  const std::size_t produced =
      length > 0 ? std::min<std::size_t>(static_cast<std::size_t>(length), 50) : 0;
  Emit(Line("EpcOutput")
           .Arg("epc", ExchangeLogHex(epc, epcLength))
           .Arg("epcLength", epcLength)
           .Arg("inverted", inverted)
           .Arg("startByte", startByte)
           .Arg("length", length),
       status, "out=" + ExchangeLogHex(out, produced));
  return status;
}

std::int32_t LoggingDriver::hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) {
  const std::int32_t status = inner_.hex_a(bytes, text, textLength);
  const std::size_t chars = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
  Emit(Line("hex_a")
           .Arg("bytes", ExchangeLogHex(bytes, (chars + 1) / 2))
           .Arg("textLength", textLength),
       status, "text=" + Quoted(text, chars));
  return status;
}

std::int32_t LoggingDriver::a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) {
  const std::int32_t status = inner_.a_hex(text, bytes, textLength);
  const std::size_t chars = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
  Emit(Line("a_hex").Arg("text", Quoted(text, chars)).Arg("textLength", textLength), status,
       "bytes=" + ExchangeLogHex(bytes, chars / 2));
  return status;
}

}  // namespace uhf
