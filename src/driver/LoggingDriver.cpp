#include "driver/LoggingDriver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "driver/DriverOperation.h"
#include "text/Hex.h"

namespace uhf {

// One call as the log writes it: the arguments ("a=1,b=2") and the outputs ("c=3 d=4").
struct LoggedCall {
  std::string arguments;
  std::string outputs;

  LoggedCall& Arg(std::string_view name, const std::string& value) {
    if (!arguments.empty()) arguments += ',';
    arguments.append(name).append("=").append(value);
    return *this;
  }
  LoggedCall& Arg(std::string_view name, long long value) {
    return Arg(name, std::to_string(value));
  }
  LoggedCall& Out(std::string_view name, const std::string& value) {
    if (!outputs.empty()) outputs += ' ';
    outputs.append(name).append("=").append(value);
    return *this;
  }
};

namespace {

// The version buffer is at least this long, so the log never reads further.
constexpr std::size_t kVersionRoom = 30;
// Network addresses are read up to this many characters.
constexpr std::size_t kAddressRoom = 32;
// The card bytes buffer of EpcOutput holds 50 bytes.
constexpr std::size_t kCardRoom = 50;

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

std::size_t NonNegative(std::int32_t count) {
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

// The names of a call's arguments as the operation list spells them: "(addr, value)".
std::vector<std::string_view> ArgumentNames(std::string_view list) {
  std::vector<std::string_view> names;
  list.remove_prefix(1);
  list.remove_suffix(1);
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view name = list.substr(0, comma);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    names.push_back(name);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  return names;
}

// Integers are inputs, written in decimal; texts are inputs, quoted.
template <typename T>
requires std::is_integral_v<T>
void Add(LoggedCall& call, std::string_view name, T value) {
  call.Arg(name, static_cast<long long>(value));
}
void Add(LoggedCall& call, std::string_view name, const char* text) {
  call.Arg(name, Quoted(text, kAddressRoom));
}
// A pointer to a writable integer is an output: its value after the call.
template <typename T>
requires(std::is_integral_v<T> && !std::is_const_v<T>) void Add(LoggedCall& call,
                                                                std::string_view name, T* value) {
  call.Out(name, Value(value));
}

// How the log writes a call of `op`: by default every argument under its name, inputs between
// the parentheses and outputs after the status. Operations with buffers say how long they are.
template <Operation op>
struct Format {
  const char* names;
  template <typename... Args>
  LoggedCall Of(Args... args) const {
    LoggedCall call;
    [[maybe_unused]] const std::vector<std::string_view> list = ArgumentNames(names);
    [[maybe_unused]] std::size_t i = 0;
    (Add(call, list[i++], args), ...);
    return call;
  }
};

template <>
struct Format<Operation::Get_Version> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, const char* version) const {
    return LoggedCall().Arg("addr", addr).Out("version", Quoted(version, kVersionRoom));
  }
};

template <>
struct Format<Operation::Get_SerNum> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, const std::uint8_t* serial) const {
    return LoggedCall().Arg("addr", addr).Out("serial", ExchangeLogHex(serial, 12));
  }
};

template <>
struct Format<Operation::UhfGetWgOutByte> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, const std::uint8_t* record) const {
    return LoggedCall().Arg("addr", addr).Out("record", ExchangeLogHex(record, 4));
  }
};

template <>
struct Format<Operation::UhfSetWgOutByte> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, const std::uint8_t* record) const {
    return LoggedCall().Arg("addr", addr).Arg("record", ExchangeLogHex(record, 4));
  }
};

template <>
struct Format<Operation::UhfGetPassword> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, const std::uint8_t* enabled,
                const std::uint8_t* password) const {
    return LoggedCall()
        .Arg("addr", addr)
        .Out("enabled", Value(enabled))
        .Out("password", ExchangeLogHex(password, 4));
  }
};

template <>
struct Format<Operation::UhfSetPassword> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, std::uint8_t enabled, const std::uint8_t* password) const {
    return LoggedCall()
        .Arg("addr", addr)
        .Arg("enabled", enabled)
        .Arg("password", ExchangeLogHex(password, 4));
  }
};

template <>
struct Format<Operation::UhfReadTag> {
  const char* names;
  LoggedCall Of(std::uint8_t addr, const std::uint8_t* reply, const std::uint8_t* length) const {
    const std::size_t replied = length != nullptr ? *length : 0;
    return LoggedCall()
        .Arg("addr", addr)
        .Out("length", Value(length))
        .Out("reply", ExchangeLogHex(reply, replied));
  }
};

template <>
struct Format<Operation::EpcOutput> {
  const char* names;
  LoggedCall Of(const std::uint8_t* epc, std::uint8_t epcLength, std::uint8_t inverted,
                std::int32_t startByte, std::int32_t length, const std::uint8_t* out) const {
    return LoggedCall()
        .Arg("epc", ExchangeLogHex(epc, epcLength))
        .Arg("epcLength", epcLength)
        .Arg("inverted", inverted)
        .Arg("startByte", startByte)
        .Arg("length", length)
        .Out("out", ExchangeLogHex(out, std::min(NonNegative(length), kCardRoom)));
  }
};

template <>
struct Format<Operation::hex_a> {
  const char* names;
  LoggedCall Of(const std::uint8_t* bytes, const char* text, std::int32_t textLength) const {
    const std::size_t chars = NonNegative(textLength);
    return LoggedCall()
        .Arg("bytes", ExchangeLogHex(bytes, (chars + 1) / 2))
        .Arg("textLength", textLength)
        .Out("text", Quoted(text, chars));
  }
};

template <>
struct Format<Operation::a_hex> {
  const char* names;
  LoggedCall Of(const char* text, const std::uint8_t* bytes, std::int32_t textLength) const {
    const std::size_t chars = NonNegative(textLength);
    return LoggedCall()
        .Arg("text", Quoted(text, chars))
        .Arg("textLength", textLength)
        .Out("bytes", ExchangeLogHex(bytes, chars / 2));
  }
};

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
  return BytesToHex(std::span(bytes, count));
}

LoggingDriver::LoggingDriver(ReaderDriver& inner, Sink sink)
    : inner_(inner), sink_(std::move(sink)) {}

std::string ExchangeLogDuration(std::chrono::steady_clock::duration took) {
  return " (" +
         std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()) +
         " ms)";
}

void LoggingDriver::Emit(const char* operation, const LoggedCall& call, std::int32_t status,
                         std::chrono::steady_clock::duration took) {
  std::string text =
      ExchangeLogTime() + ' ' + operation + '(' + call.arguments + ") -> " + std::to_string(status);
  if (!call.outputs.empty()) text += ' ' + call.outputs;
  sink_(text + ExchangeLogDuration(took));
}

// The outputs are written after the call returned, so the log shows what the driver wrote.
#define UHF_LOGGED_OPERATION(ret, name, params, args)                               \
  ret LoggingDriver::name params {                                                  \
    const auto loggedCallStart = std::chrono::steady_clock::now();                  \
    const std::int32_t status = inner_.name args;                                   \
    const auto loggedCallTook = std::chrono::steady_clock::now() - loggedCallStart; \
    Emit(#name, Format<Operation::name>{#args}.Of args, status, loggedCallTook);    \
    return status;                                                                  \
  }
TAGVANE_OPERATIONS(UHF_LOGGED_OPERATION)
#undef UHF_LOGGED_OPERATION

}  // namespace uhf
