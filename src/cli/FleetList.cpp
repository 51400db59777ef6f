#include "cli/FleetList.h"

#include <charconv>
#include <map>

#include "text/DottedAddress.h"

namespace uhf::cli {

namespace {

bool Blank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
  return text;
}

// `text` in quotes, then `what`. Appended piece by piece: GCC 12's -O3 warns wrongly about a
// literal + std::string chain here.
std::string Quoted(std::string_view text, std::string_view what) {
  std::string message = "\"";
  message.append(text);
  message += '"';
  message.append(what);
  return message;
}

// "IP:PORT" of a reader; an error text when it is none.
std::optional<std::string> ReadAddress(std::string_view text, FleetReader& reader) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    return Quoted(text, " is no IP:PORT");
  }
  const std::string_view ip = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  if (!IsDottedAddress(ip)) return Quoted(ip, " is no IP address");
  int value = 0;
  const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (ec != std::errc() || end != port.data() + port.size() || value < 1 || value > 65535) {
    return Quoted(port, " is no port (1 to 65535)");
  }
  reader.ip = std::string(ip);
  reader.port = value;
  return std::nullopt;
}

}  // namespace

bool IsEndpoint(std::string_view text) {
  FleetReader reader;
  return !ReadAddress(text, reader);
}

std::optional<std::vector<FleetReader>> ParseReaderList(std::string_view text, std::string& error) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // as Notepad saves UTF-8
  std::vector<FleetReader> readers;
  std::map<std::string, int> seen;  // address -> line
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
      line = line.substr(0, hash);
    }
    line = Trim(line);
    if (line.empty()) continue;
    std::size_t gap = 0;
    while (gap < line.size() && !Blank(line[gap])) ++gap;
    FleetReader reader;
    reader.line = number;
    if (const auto problem = ReadAddress(line.substr(0, gap), reader)) {
      error = "line " + std::to_string(number) + ": " + *problem;
      return std::nullopt;
    }
    reader.name = std::string(Trim(line.substr(gap)));
    const auto [at, added] = seen.emplace(reader.Address(), number);
    if (!added) {
      error = "line " + std::to_string(number) + ": " + reader.Address() +
              " is listed already on line " + std::to_string(at->second);
      return std::nullopt;
    }
    readers.push_back(std::move(reader));
  }
  if (readers.empty()) {
    error = "the list names no reader";
    return std::nullopt;
  }
  return readers;
}

}  // namespace uhf::cli
