#include "sim/SimControl.h"

#include <charconv>
#include <functional>
#include <ostream>
#include <string_view>
#include <vector>

#include "sim/SimStateFile.h"
#include "sim/SimStateStore.h"
#include "text/DottedAddress.h"
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

bool MakeFleet(const std::filesystem::path& folder, int count, const std::string& firstIp, int port,
               std::string& list, std::string& error) {
  const auto fields = ParseDottedAddress(firstIp);
  std::uint64_t first = 0;
  for (const auto& field : fields) first = first << 8 | field.value_or(0);
  if (!IsDottedAddress(firstIp) || first + static_cast<std::uint64_t>(count) > (1ULL << 32)) {
    error = "the addresses from " + firstIp + " run past 255.255.255.255";
    return false;
  }
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  SimState reader = FactoryState(0, false);
  list.clear();
  for (int i = 0; i < count; ++i) {
    const std::uint64_t value = first + static_cast<std::uint64_t>(i);
    const std::string ip = DottedAddressText(
        {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
         static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
    reader = NextReader(reader, 0, true);
    const std::string name = ip + "_" + std::to_string(port) + ".ini";
    if (!WriteSimStateFile(folder / name, reader, error)) return false;
    list += ip + ":" + std::to_string(port) + " sim-" + std::to_string(i + 1) + "\n";
  }
  return true;
}

int SimControlMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto usage = [&] {
    err << "usage: tagvane-sim attach | detach | new-reader [--kind 0|1|2] "
           "[--settings factory|non-factory]\n"
           "       tagvane-sim fleet DIR N [FIRST_IP:PORT]\n"
           "attach, detach and new-reader change the simulated reader's state file "
           "(TAGVANE_SIM_STATE or the default one).\n"
           "fleet writes N network readers into DIR, one state file DIR/<ip>_<port>.ini each, "
           "with their own serial numbers and non-factory settings, the addresses counting up "
           "from FIRST_IP (default 192.168.1.100:27001); it prints their reader list. Run the "
           "tool with TAGVANE_SIM_STATE_DIR=DIR to reach them.\n";
    return 2;
  };
  if (args.empty()) return usage();
  if (args[0] == "fleet") {
    if (args.size() < 3 || args.size() > 4) return usage();
    int count = 0;
    const auto [end, ec] = std::from_chars(args[2].data(), args[2].data() + args[2].size(), count);
    if (ec != std::errc() || end != args[2].data() + args[2].size() || count < 1) return usage();
    std::string_view first = args.size() == 4 ? args[3] : "192.168.1.100:27001";
    const std::size_t colon = first.rfind(':');
    int port = 0;
    const std::string_view portText =
        colon == std::string_view::npos ? std::string_view() : first.substr(colon + 1);
    const auto [portEnd, portEc] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (colon == std::string_view::npos || portEc != std::errc() ||
        portEnd != portText.data() + portText.size() || port < 1 || port > 65535) {
      return usage();
    }
    std::string list;
    std::string error;
    if (!MakeFleet(Utf8Path(args[1]), count, std::string(first.substr(0, colon)), port, list,
                   error)) {
      err << "tagvane-sim: " << error << '\n';
      return 1;
    }
    out << list;
    return 0;
  }
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
