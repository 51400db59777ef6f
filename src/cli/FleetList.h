#pragma once
// The fleet's reader list: one reader a line, `IP:PORT` and an optional name after blanks;
// `#` starts a comment, blank lines are skipped. The whole list is checked before any reader is
// touched, and a line that is no reader is named by its number.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uhf::cli {

struct FleetReader {
  std::string ip;
  int port = 0;
  std::string name;  // may be empty
  int line = 0;      // where the list names it, from 1

  std::string Address() const { return ip + ":" + std::to_string(port); }
};

// Whether `text` is "IP:PORT" with a port from 1 to 65535.
bool IsEndpoint(std::string_view text);

// The readers in the list's order; nothing with `error` set ("line 4: ...") when a line is
// malformed, an address is listed twice or the list names no reader.
std::optional<std::vector<FleetReader>> ParseReaderList(std::string_view text, std::string& error);

}  // namespace uhf::cli
