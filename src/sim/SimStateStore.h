#pragma once
// Where the simulated device keeps its state: in memory, or in a state file shared by every
// process that simulates the same reader. Each change is one read-modify-write under the file's
// lock, and each read takes what other processes wrote since, so no process loses another's
// settings.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "sim/SimState.h"

namespace uhf {

// Default state file: $TAGVANE_SIM_STATE, else $XDG_STATE_HOME/tagvane-sim/reader.ini, else
// %LOCALAPPDATA%\tagvane-sim\reader.ini (Windows), else ~/.local/state/tagvane-sim/reader.ini.
std::filesystem::path DefaultStatePath();

// The folder of the network readers' state files: $TAGVANE_SIM_STATE_DIR, else empty (every
// address reaches the reader of DefaultStatePath()).
std::filesystem::path NetworkStateDir();

class SimStateStore {
 public:
  // Loads the state file at `path`, or starts from `initial` when there is none or it is
  // unusable (reported on stderr). An empty path keeps the state in memory only.
  SimStateStore(std::filesystem::path path, SimState initial);

  // The state as last read or written here.
  SimState& State() { return state_; }
  // Takes the state file's changes made by another process since this one last read or wrote
  // it.
  void Refresh();
  // One read-modify-write under the state file's lock: the latest state is read, `change`
  // applied (a nonzero result refuses it and is returned), and the result written before the
  // lock is let go. Returns `storageFailure` when the state cannot be stored.
  std::int32_t Modify(const std::function<std::int32_t(SimState&)>& change,
                      std::int32_t storageFailure);

 private:
  // Makes `next` the state, writing it to the state file first; a failed write keeps the old
  // state and returns false.
  bool Commit(SimState next);
  // The state file's bytes, or nothing when it cannot be read. Compared whole: file times are
  // too coarse on some systems (whole seconds) to tell two quick writes of the same size apart.
  std::optional<std::string> FileBytes() const;

  std::filesystem::path path_;
  SimState state_;
  std::optional<std::string> seen_;  // the state file as last read or written here
};

}  // namespace uhf
