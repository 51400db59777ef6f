#pragma once
// Plugging simulated readers in and out: changes to the state file, each made under its lock,
// that every process using the simulated reader sees at its next call.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "sim/SimState.h"

namespace uhf {

// A reader other than `previous`: the factory state of `readerKind` (FCC band) with the next
// serial number after `previous`'s, plugged in. With `nonFactory` every setting a factory reset
// writes holds another value the reader accepts.
SimState NextReader(const SimState& previous, std::uint8_t readerKind, bool nonFactory);

// Plugs the reader of the state file in or out. False with `error` set when the file cannot be
// stored.
bool SetAttached(const std::filesystem::path& stateFile, bool attached, std::string& error);

// Replaces the reader of the state file with NextReader of it; `made` receives the new state.
bool PlugNewReader(const std::filesystem::path& stateFile, std::uint8_t readerKind, bool nonFactory,
                   SimState& made, std::string& error);

// A fleet of `count` network readers for TAGVANE_SIM_STATE_DIR: one state file per address in
// `folder`, `<ip>_<port>.ini`, the addresses counting up from `firstIp` on `port`. Each reader has
// its own serial number and non-factory settings. `list` receives one reader list line per reader
// ("IP:PORT sim-N"). False with `error` set when an address runs past 255.255.255.255 or a file
// cannot be written.
bool MakeFleet(const std::filesystem::path& folder, int count, const std::string& firstIp, int port,
               std::string& list, std::string& error);

// The command line of tagvane-sim: attach | detach | new-reader [--kind K]
// [--settings factory|non-factory] | fleet DIR N [FIRST_IP:PORT]. Returns the exit status: 0 done,
// 1 not stored, 2 bad usage.
int SimControlMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace uhf
