#pragma once
// The companion's commands over one session of the dialog. Each runs the window's operations and
// judges the result by the operation's own result: its calls, what it obtained.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/Session.h"

namespace uhf::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;    // the reader or a write failed
inline constexpr int kExitUsage = 2;     // bad usage or a refused profile; nothing written
inline constexpr int kExitNoDriver = 3;  // the driver library could not be bound
inline constexpr int kExitDiffers = 4;   // apply wrote, but the read-back differs

enum class TagWay { Read, Usb, Hex, Decimal };

struct Invocation {
  // read, factory-default, export, apply, address-get, address-set, read-tags, texts, ports
  std::string command;
  LinkOptions link;
  bool json = false;
  std::filesystem::path file;  // export, apply
  int address = 0;             // address-set
  int count = 1;               // read-tags
  TagWay way = TagWay::Read;
  std::optional<std::filesystem::path> csv;
};

// What the station log records of a command.
struct CommandReport {
  int exitStatus = kExitOk;
  std::string result;  // "ok", "failed", "refused", "differs"
  std::string serialNumber;
  std::string version;
};

// Whether the command talks to a reader (and so needs the driver library).
bool NeedsReader(const std::string& command);

// Runs the command. Output goes to `out`, failures to `err`.
CommandReport RunCommand(const Invocation& invocation, ReaderDriver& driver,
                         DialogPlatform platform, std::ostream& out, std::ostream& err);

}  // namespace uhf::cli
