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

// A station's lines carry two more columns: the differing settings and the duration in ms.
inline constexpr const char* kStationColumnsHeader =
    "time,command,link,serial number,version,result,exit status,differing settings,duration ms";

enum class StationLogColumns { Command, Station };

// The CSV line of one command, without its line feed; fields with commas or quotes are quoted.
std::string StationLogLine(const std::string& time, const std::string& command,
                           const std::string& link, const CommandReport& report);

// The line of one reader taken by the station: StationLogLine with the two station columns.
std::string StationReaderLine(const std::string& time, const std::string& command,
                              const std::string& link, const CommandReport& report,
                              const std::string& differences, long long durationMs);

// Appends the line (and a header line first when the file is new or empty: the station's header
// when a station begins the file). False with `error` set when the file cannot be written.
bool AppendStationLog(const std::filesystem::path& path, const std::string& line,
                      std::string& error, StationLogColumns columns = StationLogColumns::Command);

}  // namespace uhf::cli
