#include "sim/SimStateStore.h"

#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

#include "files/AtomicFile.h"
#include "files/FileLock.h"
#include "sim/SimStateFile.h"
#include "text/ConsoleStream.h"
#include "text/EnvironmentPath.h"
#include "text/Utf8Path.h"

namespace uhf {

namespace {

std::vector<std::vector<std::uint8_t>> FactoryTags() {
  return {
      {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22},
      {0x30, 0x08, 0x33, 0xb2, 0xdd, 0xd9, 0x01, 0x40},
      {0xe2, 0x80, 0x11, 0x60, 0x60, 0x00, 0x02, 0x04, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 0x07,
       0x18},
      {0xe2, 0x00, 0x00, 0x17, 0x22, 0x09, 0x01, 0x23, 0x15, 0x60, 0x4a, 0x1f},
      {0x35, 0x14, 0x00, 0x00, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x00,
       0x03, 0xe8, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78},
  };
}

}  // namespace

SimState FactoryState(std::uint8_t readerKind, bool etsiBand) {
  SimState s;
  s.readerKind = readerKind;
  s.etsiBand = etsiBand;
  switch (readerKind) {
    case 1:
      s.outPower = 24;
      break;
    case 2:
      s.outPower = 50;
      s.regionForm = 5;
      s.regionStart = 1;
      s.regionEnd = 63;
      s.regionStep = 0;
      s.regionCount = 0;
      break;
    default:
      s.outPower = 30;
      break;
  }
  if (readerKind != 2 && etsiBand) {
    s.regionStart = 865000;
    s.regionEnd = 868000;
    s.regionCount = 6;
  }
  s.tags = FactoryTags();
  return s;
}

std::filesystem::path DefaultStatePath() {
  if (std::filesystem::path path = EnvironmentPath("TAGVANE_SIM_STATE"); !path.empty()) {
    return path;
  }
  if (std::filesystem::path base = EnvironmentPath("XDG_STATE_HOME"); base.is_absolute()) {
    return base / "tagvane-sim" / "reader.ini";
  }
  // Windows: the user's local application data.
  if (std::filesystem::path base = EnvironmentPath("LOCALAPPDATA"); base.is_absolute()) {
    return base / "tagvane-sim" / "reader.ini";
  }
  if (std::filesystem::path home = EnvironmentPath("HOME"); !home.empty()) {
    return home / ".local" / "state" / "tagvane-sim" / "reader.ini";
  }
  return {};  // nowhere to keep it: in memory only
}

std::filesystem::path NetworkStateDir() {
  return EnvironmentPath("TAGVANE_SIM_STATE_DIR");
}

SimStateStore::SimStateStore(std::filesystem::path path, SimState initial)
    : path_(std::move(path)), state_(std::move(initial)) {
  if (path_.empty()) {
    return;
  }
  seen_ = FileBytes();
  std::string error;
  if (ReadSimStateFile(path_, state_, error) == StateFileResult::Unusable) {
    DiagnosticStream() << "tagvane-sim: state file " << PathText(path_) << ": " << error
                       << "; using factory settings\n";
  }
}

std::optional<std::string> SimStateStore::FileBytes() const {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(bytes).str();
}

void SimStateStore::Refresh() {
  if (path_.empty()) return;
  // Every write replaces the file, so other bytes than last seen mean another process wrote it.
  std::optional<std::string> now = FileBytes();
  if (!now || now == seen_) return;
  std::string error;
  if (std::optional<SimState> latest = ParseSimState(*now, error)) {
    state_ = std::move(*latest);
  }
  seen_ = std::move(now);  // an unusable file was reported when the store was made
}

std::int32_t SimStateStore::Modify(const std::function<std::int32_t(SimState&)>& change,
                                   std::int32_t storageFailure) {
  std::unique_ptr<FileLock> lock;
  if (!path_.empty()) {
    std::string error;
    std::filesystem::path folder;
    if (!PrepareFolderOf(path_, folder, error) ||
        !(lock = FileLock::Acquire(std::filesystem::path(path_) += ".lock", error))) {
      DiagnosticStream() << "tagvane-sim: cannot store the settings: " << error << '\n';
      return storageFailure;
    }
  }
  Refresh();
  SimState next = state_;
  if (const std::int32_t refused = change(next)) return refused;
  return Commit(std::move(next)) ? 0 : storageFailure;
}

bool SimStateStore::Commit(SimState next) {
  if (next == state_) {
    return true;
  }
  if (!path_.empty()) {
    std::string error;
    if (!WriteSimStateFile(path_, next, error)) {
      DiagnosticStream() << "tagvane-sim: cannot store the settings: " << error << '\n';
      return false;
    }
    seen_ = FileBytes();
  }
  state_ = std::move(next);
  return true;
}

}  // namespace uhf
