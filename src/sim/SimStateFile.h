#pragma once
// The simulated reader's state file: one `key=value` line per setting, in this order,
//
//   readerKind=0             0, 1 or 2 (any byte is kept)
//   etsiBand=0               1 = ETSI band (865-868 MHz), 0 = FCC band (902-928 MHz)
//   version=TVW-SIM V2.06    the rest of the line, as Get_Version reports it
//   serial=2026120700...     12 bytes as 24 hexadecimal digits
//   attached=1               1 = plugged in, 0 = unplugged (no link opens); optional, missing = 1
//   writesFail=1             1 = every setting written fails (status 6); optional, written only
//                            when 1
//   address=0                byte settings in decimal: address, workMode, triggerTime,
//   ...                      wgIntervalTime, weigand (38 = 0x26), passwordEnabled,
//                            readTagInterval, outPower, buzzer, regionForm, regionCount
//   wgOutRecord=1,9,3,0      lead byte, start byte, length, inverted flag
//   password=00000000        4 bytes as 8 hexadecimal digits
//   regionStart=902000       32-bit integers in decimal: regionStart, regionEnd, regionStep
//   tag=e20012345678...      one line per tag in the field, its EPC in hexadecimal, in field
//                            order; no tag line = an empty field
//
// Blank lines and lines starting with '#' are ignored; spaces around keys and values are
// trimmed. Every key except `tag`, `attached` and `writesFail` must appear exactly once (those two
// at most once); anything else makes the file corrupt.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "sim/SimState.h"

namespace uhf {

std::string FormatSimState(const SimState& state);

// Returns nullopt with `error` naming the line and the fault when the text is not a valid state.
std::optional<SimState> ParseSimState(std::string_view text, std::string& error);

enum class StateFileResult { Loaded, Missing, Unusable };

// Reads and parses the state file. Missing: there is no file (not an error). Unusable: the file
// exists but cannot be read or is corrupt; `error` says why.
StateFileResult ReadSimStateFile(const std::filesystem::path& path, SimState& state,
                                 std::string& error);

// Writes the state file atomically; false with `error` set when it cannot be written.
bool WriteSimStateFile(const std::filesystem::path& path, const SimState& state,
                       std::string& error);

}  // namespace uhf
