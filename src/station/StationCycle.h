#pragma once
// One station's cycle, whatever shows it: poll for a reader (the link is closed again after each
// poll), take a reader not taken while it stays attached, run the job through the window's
// operations, read the reader back and compare what it reports with what was meant.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog/InterfaceText.h"
#include "driver/ReaderDriver.h"
#include "reader/ReaderConfiguration.h"
#include "station/ReaderProfile.h"

namespace uhf {

enum class StationJob { FactoryDefault, Apply };

// A setting a reader reads back otherwise than wanted, each value as text.
struct SettingDifference {
  std::string setting;  // the setting's name in ReaderConfiguration
  std::string wanted;
  std::string read;  // empty when the read did not obtain it
};

// The settings `wanted` holds that a save or a factory reset writes over this link, compared with
// what a read obtained; flags compare as on or off.
std::vector<SettingDifference> CompareSettings(const ReaderConfiguration& wanted,
                                               const ReaderConfiguration& read, bool usbLink);

// The texts that explain a failed operation: its status text, then every message box.
std::string FailureText(const OperationResult& result);

enum class StationResult { Ok, Failed, Differs };

// What became of one reader.
struct ReaderOutcome {
  std::string time;
  std::string serialNumber;
  std::string version;
  StationResult result = StationResult::Ok;
  std::string operation;  // failed: the operation that failed
  std::string error;      // failed: what the window would show
  std::vector<SettingDifference> differences;
  long long durationMs = 0;
};

// "ok", "failed" or "differs".
const char* ResultName(StationResult result);

// The job: the factory default, or a parsed profile (named by `profileName` in a refusal).
struct StationTask {
  StationJob job = StationJob::FactoryDefault;
  std::optional<ParsedProfile> profile;  // Apply
  std::string profileName;
};

// The task of applying the profile file `path`; nothing, with `error` set ("cannot read PATH" or
// "PATH: LINE: WHAT"), when it cannot be read or parsed.
std::optional<StationTask> ProfileTask(const std::filesystem::path& path, std::string& error);

class StationCycle {
 public:
  // `now` times a reader's cycle; `time` gives the time its outcome carries.
  StationCycle(ReaderDriver& driver, Link link, InterfaceText texts, StationTask task,
               std::function<std::chrono::steady_clock::time_point()> now,
               std::function<std::string()> time);

  // Opens the link, asks for the handshake and the serial number and closes it again. The serial
  // number of a reader to take now (empty when it gave none), or nothing: no reader answered, or
  // the one taken last is still attached (Present() then tells it).
  std::optional<std::string> FindNewReader();
  // The serial number of the reader taken last while it stays attached.
  const std::optional<std::string>& Present() const { return present_; }

  // Runs the job on the reader FindNewReader found, reads it back and compares; the link is
  // closed afterwards. The reader counts as present until a poll no longer finds it.
  ReaderOutcome Configure(const std::string& serialNumber);

  bool UsbLink() const { return link_.kind == LinkKind::Usb; }

 private:
  std::optional<ReaderConfiguration> Read(ReaderOutcome& outcome, const char* operation);

  ReaderDriver& driver_;
  Link link_;
  InterfaceText texts_;
  StationTask task_;
  std::function<std::chrono::steady_clock::time_point()> now_;
  std::function<std::string()> time_;
  LinkState linkState_;
  std::optional<std::string> present_;
};

}  // namespace uhf
