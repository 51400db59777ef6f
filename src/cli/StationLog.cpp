#include "cli/StationLog.h"

#include "files/FileLock.h"

namespace uhf::cli {

namespace {

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c == '\r' || c == '\n' ? ' ' : c;
  }
  return quoted + "\"";
}

}  // namespace

std::string StationLogLine(const std::string& time, const std::string& command,
                           const std::string& link, const CommandReport& report) {
  return Field(time) + ',' + Field(command) + ',' + Field(link) + ',' + Field(report.serialNumber) +
         ',' + Field(report.version) + ',' + Field(report.result) + ',' +
         std::to_string(report.exitStatus);
}

std::string StationReaderLine(const std::string& time, const std::string& command,
                              const std::string& link, const CommandReport& report,
                              const std::string& differences, long long durationMs) {
  return StationLogLine(time, command, link, report) + ',' + Field(differences) + ',' +
         std::to_string(durationMs);
}

bool AppendStationLog(const std::filesystem::path& path, const std::string& line,
                      std::string& error, StationLogColumns columns) {
  // The header is decided under the same lock as the line, so two first writers cannot both
  // add it.
  return AppendLineLocked(
      path, line, error,
      columns == StationLogColumns::Station ? kStationColumnsHeader : kStationLogHeader);
}

}  // namespace uhf::cli
