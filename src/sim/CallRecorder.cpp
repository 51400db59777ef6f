#include "sim/CallRecorder.h"

#include <span>
#include <string_view>
#include <type_traits>

#include "driver/DriverOperation.h"
#include "text/Hex.h"

namespace uhf {

namespace {

std::string HexToken(const std::uint8_t* bytes, std::size_t count) {
  if (bytes == nullptr) return "null";
  return BytesToHex(std::span(bytes, count));
}

std::string Quoted(const char* text, std::size_t maxLength = std::string::npos) {
  if (text == nullptr) return "null";
  std::string quoted = "\"";
  for (std::size_t i = 0; i < maxLength && text[i] != '\0'; ++i) quoted += text[i];
  return quoted + '"';
}

// "Name(a,b,c)" built one argument at a time.
class CallText {
 public:
  explicit CallText(std::string_view name) : text_(name) { text_ += '('; }
  CallText& Add(const std::string& text) {
    if (!first_) text_ += ',';
    first_ = false;
    text_ += text;
    return *this;
  }
  CallText& Add(long long value) { return Add(std::to_string(value)); }
  // The bytes of an input record one by one, or null.
  CallText& AddBytes(const std::uint8_t* bytes, std::size_t count) {
    if (bytes == nullptr) return Add("null");
    for (std::size_t i = 0; i < count; ++i) Add(bytes[i]);
    return *this;
  }
  std::string Text() const { return text_ + ')'; }

 private:
  std::string text_;
  bool first_ = true;
};

template <typename T>
requires std::is_integral_v<T>
void Add(CallText& call, T value) {
  call.Add(static_cast<long long>(value));
}
void Add(CallText& call, const char* text) {
  call.Add(Quoted(text));
}
// Outputs are not part of the call.
template <typename T>
requires(!std::is_const_v<T>) void Add(CallText&, T*) {}

// How a call of `op` is recorded: by default every input in order. Operations whose inputs are
// buffers say how to write them.
template <Operation op>
struct Format {
  template <typename... Args>
  static std::string Of(Args... args) {
    CallText call(OperationName(op));
    (Add(call, args), ...);
    return call.Text();
  }
};

template <>
struct Format<Operation::UhfSetWgOutByte> {
  static std::string Of(std::uint8_t addr, const std::uint8_t* record) {
    return CallText("UhfSetWgOutByte").Add(addr).AddBytes(record, 4).Text();
  }
};

template <>
struct Format<Operation::UhfSetPassword> {
  static std::string Of(std::uint8_t addr, std::uint8_t enabled, const std::uint8_t* password) {
    return CallText("UhfSetPassword").Add(addr).Add(enabled).AddBytes(password, 4).Text();
  }
};

template <>
struct Format<Operation::EpcOutput> {
  static std::string Of(const std::uint8_t* epc, std::uint8_t epcLength, std::uint8_t inverted,
                        std::int32_t startByte, std::int32_t length, std::uint8_t*) {
    return CallText("EpcOutput")
        .Add(HexToken(epc, epcLength))
        .Add(epcLength)
        .Add(inverted)
        .Add(startByte)
        .Add(length)
        .Text();
  }
};

template <>
struct Format<Operation::hex_a> {
  static std::string Of(const std::uint8_t* bytes, char*, std::int32_t textLength) {
    const std::size_t byteCount =
        textLength > 0 ? (static_cast<std::size_t>(textLength) + 1) / 2 : 0;
    return CallText("hex_a").Add(HexToken(bytes, byteCount)).Add(textLength).Text();
  }
};

template <>
struct Format<Operation::a_hex> {
  static std::string Of(const char* text, std::uint8_t*, std::int32_t textLength) {
    const std::size_t shown = textLength > 0 ? static_cast<std::size_t>(textLength) : 0;
    return CallText("a_hex").Add(Quoted(text, shown)).Add(textLength).Text();
  }
};

}  // namespace

std::int32_t CallRecorder::Returned(std::int32_t status) {
  if (sink_) sink_(calls_.back(), status);
  return status;
}

#define UHF_RECORDED_OPERATION(ret, name, params, args) \
  ret CallRecorder::name params {                       \
    calls_.push_back(Format<Operation::name>::Of args); \
    return Returned(inner_.name args);                  \
  }
TAGVANE_OPERATIONS(UHF_RECORDED_OPERATION)
#undef UHF_RECORDED_OPERATION

}  // namespace uhf
