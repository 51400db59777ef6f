#pragma once
// The station log: one CSV line per command (time, command, link, serial number, version,
// result, exit status), appended whole under a lock of the file, so that companions on one
// station writing at once never interleave or lose a line and earlier lines are never rewritten.

#include <filesystem>
#include <string>

#include "cli/Commands.h"

namespace uhf::cli {

inline constexpr const char* kStationLogHeader =
    "time,command,link,serial number,version,result,exit status";

// The CSV line of one command, without its line feed; fields with commas or quotes are quoted.
std::string StationLogLine(const std::string& time, const std::string& command,
                           const std::string& link, const CommandReport& report);

// Appends the line (and a header line first when the file is new or empty). False with `error`
// set when the file cannot be written.
bool AppendStationLog(const std::filesystem::path& path, const std::string& line,
                      std::string& error);

}  // namespace uhf::cli
