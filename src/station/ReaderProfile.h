#pragma once
// The reader's configuration as the companion prints it, and the editable profile made from it:
// an INI text with one key per setting the save writes and a comment above each giving its
// meaning and range. A profile's values, in the places of the values a read obtained, make the
// configuration the save writes.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "reader/ReaderConfiguration.h"

namespace uhf {

// Field names are those of ReaderConfiguration; units are documented beside the command. A
// setting the read did not obtain is null.
nlohmann::ordered_json ConfigurationJson(const ReaderConfiguration& config);
// A readable table: one parameter a line with its unit.
std::string ConfigurationTable(const ReaderConfiguration& config);

// Profile values by key, as text.
using ProfileValues = std::map<std::string, std::string>;

// The profile keys that apply to this reader kind and link, in the order they are written.
std::vector<std::string> ProfileKeys(std::uint8_t readerKind, bool usbLink);

// The value of every profile key of this configuration's reader, as the window shows it after a
// read (a setting the window cannot show is empty, or 0 for a selector's number).
ProfileValues ProfileValuesOf(const ReaderConfiguration& config, bool usbLink);

// The INI text of the profile, with a header naming the reader it was read from; lines end in LF.
std::string ProfileText(const ReaderConfiguration& config, bool usbLink);

// How a written profile's lines end: CR LF on Windows, as its editors write them; LF elsewhere.
#ifdef _WIN32
inline constexpr std::string_view kProfileLineEnd = "\r\n";
#else
inline constexpr std::string_view kProfileLineEnd = "\n";
#endif

// `text` with every LF line end replaced by `lineEnd`.
std::string WithLineEnds(std::string_view text, std::string_view lineEnd);

// One problem of a profile, naming its line (0 when it concerns no line of the file).
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
// known key given at most once. UTF-8, with or without a byte order mark; lines end in LF or CR LF.
// A UTF-16 text is refused with a message that says to save it as UTF-8.
std::optional<ParsedProfile> ParseProfile(std::string_view text, ProfileError& error);

// Checks every value a save of the profile would write against the reader as `read` found it
// (kind, band, Wiegand output record) and the link: the profile's own values in line order, then
// the values the profile leaves to the reader.
std::optional<ProfileError> CheckProfile(const ParsedProfile& profile,
                                         const ReaderConfiguration& read, bool usbLink);

// The configuration a save of the checked profile writes: the read's values, with the profile's
// in their place. Keys the profile leaves out keep what the read obtained, as the window shows it.
ReaderConfiguration DesiredConfiguration(const ParsedProfile& profile,
                                         const ReaderConfiguration& read, bool usbLink);

}  // namespace uhf
