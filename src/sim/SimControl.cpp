#include "sim/SimControl.h"

#include <functional>
#include <ostream>
#include <string_view>
#include <vector>

#include "sim/SimStateStore.h"
#include "text/Hex.h"
#include "text/Utf8Path.h"

namespace uhf {

namespace {

constexpr std::int32_t kNotStored = 1;

bool Store(const std::filesystem::path& stateFile, const std::function<void(SimState&)>& change,
           SimState& result, std::string& error) {
  if (stateFile.empty()) {
    error = "no state file: set TAGVANE_SIM_STATE or HOME";
    return false;
  }
  SimStateStore store(stateFile, FactoryState(0, false));
  const std::int32_t status = store.Modify(
      [&](SimState& next) {
        change(next);
        return 0;
      },
      kNotStored);
  if (status != 0) {
    error = "cannot store " + PathText(stateFile);
    return false;
  }
  result = store.State();
  return true;
}

}  // namespace

SimState NextReader(const SimState& previous, std::uint8_t readerKind, bool nonFactory) {
  SimState next = FactoryState(readerKind, false);
  next.version = previous.version;
  next.serial = previous.serial;
  // The serial number as one big-endian counter, one up.
  for (auto byte = next.serial.rbegin(); byte != next.serial.rend(); ++byte) {
    if (++*byte != 0) break;
  }
  next.attached = true;
  if (nonFactory) {
    next.address = 7;
    next.workMode = 1;
    next.triggerTime = 9;
    next.wgIntervalTime = 5;
    next.weigand = 0x34;
    next.wgOutRecord = {1, 8, 4, 0};
    next.passwordEnabled = 0;
    next.password = {0x12, 0x34, 0x56, 0x78};
    next.outPower = readerKind == 1 ? 20 : 10;
    if (readerKind == 2) {
      next.regionStart = 5;
      next.regionEnd = 40;
    } else {
      next.regionStart = 910000;
      next.regionEnd = 915000;
      next.regionCount = 10;
    }
  }
  return next;
}

bool SetAttached(const std::filesystem::path& stateFile, bool attached, std::string& error) {
  SimState result;
  return Store(
      stateFile, [attached](SimState& next) { next.attached = attached; }, result, error);
}

bool PlugNewReader(const std::filesystem::path& stateFile, std::uint8_t readerKind, bool nonFactory,
                   SimState& made, std::string& error) {
  return Store(
      stateFile, [&](SimState& next) { next = NextReader(next, readerKind, nonFactory); }, made,
      error);
}

int SimControlMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto usage = [&] {
    err << "usage: tagvane-sim attach | detach | new-reader [--kind 0|1|2] "
           "[--settings factory|non-factory]\n"
           "Changes the simulated reader's state file (TAGVANE_SIM_STATE or the default one).\n";
    return 2;
  };
  if (args.empty()) return usage();
  const std::filesystem::path file = DefaultStatePath();
  std::string error;
  const auto done = [&](bool stored) {
    if (!stored) err << "tagvane-sim: " << error << '\n';
    return stored ? 0 : 1;
  };
  if ((args[0] == "attach" || args[0] == "detach") && args.size() == 1) {
    return done(SetAttached(file, args[0] == "attach", error));
  }
  if (args[0] != "new-reader") return usage();
  std::uint8_t kind = 0;
  bool nonFactory = false;
  for (std::size_t i = 1; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return usage();
    const std::string_view value = args[i + 1];
    if (args[i] == "--kind" && (value == "0" || value == "1" || value == "2")) {
      kind = static_cast<std::uint8_t>(value[0] - '0');
    } else if (args[i] == "--settings" && (value == "factory" || value == "non-factory")) {
      nonFactory = value == "non-factory";
    } else {
      return usage();
    }
  }
  SimState made;
  if (!PlugNewReader(file, kind, nonFactory, made, error)) return done(false);
  out << "SN:" << BytesToHex(made.serial) << '\n';
  return 0;
}

}  // namespace uhf
