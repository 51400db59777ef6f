#include "sim/SimStateFile.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>

#include "files/AtomicFile.h"
#include "text/Hex.h"

namespace uhf {

namespace {

constexpr std::uintmax_t kMaxFileSize = 1 << 20;  // far above any real state

bool ParseHex(std::string_view text, std::vector<std::uint8_t>& bytes) {
  if (text.size() % 2 != 0) {
    return false;
  }
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigitValue(text[i]);
    const int low = HexDigitValue(text[i + 1]);
    if (high < 0 || low < 0) {
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

template <std::size_t N>
bool ParseHexArray(std::string_view text, std::array<std::uint8_t, N>& out) {
  std::vector<std::uint8_t> bytes;
  if (!ParseHex(text, bytes) || bytes.size() != N) {
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), out.begin());
  return true;
}

template <typename T>
bool ParseDecimal(std::string_view text, T& out) {
  if (text.empty() || (text[0] == '+')) {
    return false;
  }
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    return false;
  }
  out = value;
  return true;
}

bool ParseByte(std::string_view text, std::uint8_t& out) {
  unsigned value = 0;
  if (!ParseDecimal(text, value) || value > 255) {
    return false;
  }
  out = static_cast<std::uint8_t>(value);
  return true;
}

template <std::uint8_t SimState::*Member>
bool ByteField(std::string_view text, SimState& state) {
  return ParseByte(text, state.*Member);
}

template <std::int32_t SimState::*Member>
bool IntField(std::string_view text, SimState& state) {
  return ParseDecimal(text, state.*Member);
}

bool BandField(std::string_view text, SimState& state) {
  if (text != "0" && text != "1") {
    return false;
  }
  state.etsiBand = text == "1";
  return true;
}

// The rest of the line; a carriage return inside it could not be written back (the writer turns
// line breaks into blanks), so it is refused.
bool VersionField(std::string_view text, SimState& state) {
  if (text.find('\r') != std::string_view::npos) return false;
  state.version = std::string(text);
  return true;
}

bool AttachedField(std::string_view text, SimState& state) {
  if (text != "0" && text != "1") return false;
  state.attached = text == "1";
  return true;
}

bool WritesFailField(std::string_view text, SimState& state) {
  if (text != "0" && text != "1") return false;
  state.writesFail = text == "1";
  return true;
}

bool SerialField(std::string_view text, SimState& state) {
  return ParseHexArray(text, state.serial);
}

bool PasswordField(std::string_view text, SimState& state) {
  return ParseHexArray(text, state.password);
}

bool RecordField(std::string_view text, SimState& state) {
  std::array<std::uint8_t, 4> record{};
  for (std::size_t i = 0; i < record.size(); ++i) {
    const std::size_t comma = text.find(',');
    const bool last = i + 1 == record.size();
    if (last != (comma == std::string_view::npos)) {
      return false;
    }
    if (!ParseByte(text.substr(0, comma), record[i])) {
      return false;
    }
    text = last ? std::string_view() : text.substr(comma + 1);
  }
  state.wgOutRecord = record;
  return true;
}

struct Field {
  const char* key;
  bool (*parse)(std::string_view, SimState&);
  bool required = true;
};

constexpr Field kFields[] = {
    {"readerKind", ByteField<&SimState::readerKind>},
    {"etsiBand", BandField},
    {"version", VersionField},
    {"serial", SerialField},
    {"attached", AttachedField, false},  // files written before readers could be unplugged
    {"writesFail", WritesFailField, false},
    {"address", ByteField<&SimState::address>},
    {"workMode", ByteField<&SimState::workMode>},
    {"triggerTime", ByteField<&SimState::triggerTime>},
    {"wgIntervalTime", ByteField<&SimState::wgIntervalTime>},
    {"weigand", ByteField<&SimState::weigand>},
    {"wgOutRecord", RecordField},
    {"passwordEnabled", ByteField<&SimState::passwordEnabled>},
    {"password", PasswordField},
    {"readTagInterval", ByteField<&SimState::readTagInterval>},
    {"outPower", ByteField<&SimState::outPower>},
    {"buzzer", ByteField<&SimState::buzzer>},
    {"regionForm", ByteField<&SimState::regionForm>},
    {"regionStart", IntField<&SimState::regionStart>},
    {"regionEnd", IntField<&SimState::regionEnd>},
    {"regionStep", IntField<&SimState::regionStep>},
    {"regionCount", ByteField<&SimState::regionCount>},
};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A line break in a value would end the line early and corrupt the file.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

std::string FormatSimState(const SimState& s) {
  std::ostringstream out;
  const auto byte = [](std::uint8_t v) { return static_cast<unsigned>(v); };
  out << "# simulated reader state\n"
      << "readerKind=" << byte(s.readerKind) << '\n'
      << "etsiBand=" << (s.etsiBand ? 1 : 0) << '\n'
      << "version=" << OneLine(s.version) << '\n'
      << "serial=" << BytesToHex(s.serial) << '\n'
      << "attached=" << (s.attached ? 1 : 0) << '\n'
      << (s.writesFail ? "writesFail=1\n" : "") << "address=" << byte(s.address) << '\n'
      << "workMode=" << byte(s.workMode) << '\n'
      << "triggerTime=" << byte(s.triggerTime) << '\n'
      << "wgIntervalTime=" << byte(s.wgIntervalTime) << '\n'
      << "weigand=" << byte(s.weigand) << '\n'
      << "wgOutRecord=" << byte(s.wgOutRecord[0]) << ',' << byte(s.wgOutRecord[1]) << ','
      << byte(s.wgOutRecord[2]) << ',' << byte(s.wgOutRecord[3]) << '\n'
      << "passwordEnabled=" << byte(s.passwordEnabled) << '\n'
      << "password=" << BytesToHex(s.password) << '\n'
      << "readTagInterval=" << byte(s.readTagInterval) << '\n'
      << "outPower=" << byte(s.outPower) << '\n'
      << "buzzer=" << byte(s.buzzer) << '\n'
      << "regionForm=" << byte(s.regionForm) << '\n'
      << "regionStart=" << s.regionStart << '\n'
      << "regionEnd=" << s.regionEnd << '\n'
      << "regionStep=" << s.regionStep << '\n'
      << "regionCount=" << byte(s.regionCount) << '\n';
  for (const auto& tag : s.tags) {
    out << "tag=" << BytesToHex(tag) << '\n';
  }
  return out.str();
}

std::optional<SimState> ParseSimState(std::string_view text, std::string& error) {
  SimState state;
  state.tags.clear();
  std::set<std::string_view> seen;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view line = Trim(text.substr(0, newline));
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') {
      continue;
    }
    const auto fault = [&](const std::string& what) {
      error = "line " + std::to_string(lineNumber) + ": " + what;
      return std::nullopt;
    };
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return fault("no '=' in \"" + std::string(line) + "\"");
    }
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (key == "tag") {
      std::vector<std::uint8_t> epc;
      if (!ParseHex(value, epc)) {
        return fault("bad tag EPC \"" + std::string(value) + "\"");
      }
      state.tags.push_back(std::move(epc));
      continue;
    }
    const Field* field = nullptr;
    for (const Field& candidate : kFields) {
      if (key == candidate.key) {
        field = &candidate;
      }
    }
    if (field == nullptr) {
      return fault("unknown key \"" + std::string(key) + "\"");
    }
    if (!seen.insert(field->key).second) {
      return fault("\"" + std::string(key) + "\" given twice");
    }
    if (!field->parse(value, state)) {
      return fault("bad value \"" + std::string(value) + "\" for \"" + std::string(key) + "\"");
    }
  }
  for (const Field& field : kFields) {
    if (field.required && seen.count(field.key) == 0) {
      error = std::string("\"") + field.key + "\" missing";
      return std::nullopt;
    }
  }
  return state;
}

StateFileResult ReadSimStateFile(const std::filesystem::path& path, SimState& state,
                                 std::string& error) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) {
    return StateFileResult::Missing;
  }
  if (ec) {
    error = "cannot read: " + ec.message();
    return StateFileResult::Unusable;
  }
  if (status.type() != std::filesystem::file_type::regular) {
    error = "not a regular file";
    return StateFileResult::Unusable;
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxFileSize) {
    error = ec ? "cannot read: " + ec.message() : "file too large";
    return StateFileResult::Unusable;
  }
  std::ifstream in(path, std::ios::binary);
  std::string text;
  if (in) {
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (!in.is_open() || in.bad()) {
    error = "cannot read: " + std::generic_category().message(errno);
    return StateFileResult::Unusable;
  }
  std::optional<SimState> parsed = ParseSimState(text, error);
  if (!parsed) {
    error = "corrupt, " + error;
    return StateFileResult::Unusable;
  }
  state = std::move(*parsed);
  return StateFileResult::Loaded;
}

bool WriteSimStateFile(const std::filesystem::path& path, const SimState& state,
                       std::string& error) {
  return WriteFileAtomically(path, FormatSimState(state), error);
}

}  // namespace uhf
