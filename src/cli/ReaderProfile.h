#pragma once
// The reader's configuration as the dialog shows it after a read, and the editable profile made
// from it: an INI text with one key per setting the save writes and a comment above each giving
// its meaning and range. Applying a profile puts its values into the controls the way an
// operator would (clicks, typing, selections), so the save that follows is the window's own.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Session.h"
#include "reader/FrequencyPlan.h"

namespace uhf::cli {

// The settings shown after a read, named as in the code. Missing values are shown as absent.
struct ReaderConfiguration {
  std::uint8_t readerKind = 0;
  bool buzzer = false;
  int workMode = 0;                  // 0 read always, 1 read by trigger
  int readTime = 0;                  // seconds
  int outputTime = 0;                // 100 ms units
  std::optional<int> wiegandFormat;  // 26 or 34, USB link only
  std::optional<int> startByte;      // Wiegand output record
  std::optional<int> length;         // serial and network links only
  bool inverted = false;
  bool passwordEnabled = false;
  std::string checkPassword;
  std::uint32_t tagInterval = 0;  // seconds
  std::optional<int> outPower;    // power level
  std::string versionText;
  std::string serialNumberText;
  int readerAddress = 0;
  FrequencyPlan frequencyPlan;
  std::string band;  // "FCC" or "ETSI" for kinds 0 and 1, empty for kind 2
};

ReaderConfiguration ConfigurationShown(Session& session);

// Field names are those of ReaderConfiguration; units are documented beside the command.
nlohmann::ordered_json ConfigurationJson(const ReaderConfiguration& config);
// A readable table: one parameter a line with its unit.
std::string ConfigurationTable(const ReaderConfiguration& config);

// Profile values by key, as text.
using ProfileValues = std::map<std::string, std::string>;

// The profile keys that apply to this reader kind and link, in the order they are written.
std::vector<std::string> ProfileKeys(std::uint8_t readerKind, bool usbLink);

// The values of every profile key as the controls show them.
ProfileValues ProfileFromControls(Session& session);

// The INI text of the profile, with a header naming the reader it was read from.
std::string ProfileText(const ReaderConfiguration& config, const ProfileValues& values,
                        bool usbLink);

// One problem of a profile, naming its line (0 when it concerns the whole file).
struct ProfileError {
  int line = 0;
  std::string what;
  std::string Text() const;
};

struct ParsedProfile {
  struct Entry {
    int line;
    std::string value;
  };
  std::map<std::string, Entry> entries;
};

// The syntax: comments (';' or '#'), blank lines, one "[reader]" section, key=value lines with a
// known key given at most once.
std::optional<ParsedProfile> ParseProfile(std::string_view text, ProfileError& error);

// Checks every value against this reader (kind, band, link). Nothing is written to the controls.
std::optional<ProfileError> CheckProfile(const ParsedProfile& profile, Session& session);

// Puts the checked values into the controls. Keys the profile leaves out keep what the read
// showed.
void ApplyProfile(const ParsedProfile& profile, Session& session);

}  // namespace uhf::cli
