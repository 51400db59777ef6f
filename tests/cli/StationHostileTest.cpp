// The station against a thousand readers behind the hostile driver, plugged in and out at
// random (run under the sanitizers in the sanitizer build): a line is ok only when every call of
// its reader returned 0 and the reader holds what the window's factory default makes of it, and a
// reader that stays attached is taken again only after a poll found it gone.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <span>

#include "CompanionTestSupport.h"
#include "cli/Station.h"
#include "dialog/InterfaceText.h"
#include "reader/ReaderOperations.h"
#include "sim/HostileDriver.h"
#include "sim/SimControl.h"

namespace uhf::cli::testing {
namespace {

// With no reader plugged in, the simulated reader answers (no link opens). With one, the hostile
// driver answers first: a failure is its answer, outputs scribbled over; on success the
// simulated reader answers as well, its values over the hostile ones, unless this reader's
// values are the hostile driver's own.
class Routed : public ReaderDriver {
 public:
#define UHF_ROUTED_OPERATION(ret, name, params, args)             \
  ret name params override {                                      \
    if (!sim.State().attached) return sim.name args;              \
    const std::int32_t status = hostile.name args;                \
    return status != 0 || hostileValues ? status : sim.name args; \
  }
  TAGVANE_OPERATIONS(UHF_ROUTED_OPERATION)
#undef UHF_ROUTED_OPERATION

  SimulatedReader sim;
  HostileDriver hostile{0};
  bool hostileValues = false;
};

// A reader's serial number stays its own whatever else it answers: a station tells readers apart
// by it. A link is closed when asked, whatever the close answers.
class HostileReaders final : public Routed {
 public:
  std::int32_t CloseCom() override {
    const std::int32_t status = Routed::CloseCom();
    sim.CloseCom();
    return status;
  }
  std::int32_t Get_SerNum(std::uint8_t addr, std::uint8_t* serial) override {
    const std::int32_t status = Routed::Get_SerNum(addr, serial);
    if (status == 0 && hostileValues && sim.State().attached) {
      std::copy(sim.State().serial.begin(), sim.State().serial.end(), serial);
    }
    return status;
  }
};

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// One reader taken by the station: which, every status its calls returned, what it held after.
struct Configuration {
  int reader = -1;
  bool hostileValues = false;
  std::vector<std::int32_t> statuses;
  std::string failedCalls;
  SimState after;
};

TEST(HostileStation, OkOnlyWhenEveryCallSucceededAndTheReaderHoldsWhatWasMeant) {
  constexpr int kReaders = 1000;
  HostileReaders readers;
  CallRecorder driver(readers);
  std::uint64_t random = 20261207;

  // The world: reader `current` attached for `stay` more pauses, then unplugged for `away`.
  int current = 0;
  int stay = 0;
  int away = 0;
  std::vector<SimState> plugged;  // each reader as it was plugged in
  const auto plug = [&] {
    readers.sim.State() = NextReader(readers.sim.State(), static_cast<std::uint8_t>(current % 3),
                                     SplitMix(random) % 2 == 0);
    plugged.push_back(readers.sim.State());
    readers.hostile.Reseed(4'000'000 + static_cast<std::uint64_t>(current));
    readers.hostileValues = SplitMix(random) % 3 == 0;
    stay = 1 + static_cast<int>(SplitMix(random) % 3);
    away = 1 + static_cast<int>(SplitMix(random) % 2);
  };
  plug();

  // What the station did, from its calls: a probe runs from a pause to the next pause or to the
  // start of a configuration.
  std::vector<Configuration> taken;
  std::vector<bool> configured(kReaders, false);
  std::vector<bool> goneSince(kReaders, false);  // a probe found it gone since it was taken
  bool configuring = false;
  bool probeOpened = true;  // every OpenCom and Handshake of this probe returned 0
  bool probed = false;
  driver.SetSink([&](const std::string& call, std::int32_t status) {
    if (configuring) {
      taken.back().statuses.push_back(status);
      if (status != 0) taken.back().failedCalls += call + " ";
      return;
    }
    probed = true;
    const bool opening = call.rfind("OpenCom", 0) == 0 || call.rfind("Handshake", 0) == 0;
    if (opening && status != 0) probeOpened = false;
  });
  const auto probeEnded = [&](bool configurationFollows) {
    const bool attached = readers.sim.State().attached;
    if (probed && attached && !probeOpened) goneSince[current] = true;
    if (configurationFollows) {
      EXPECT_TRUE(probed && attached && probeOpened) << "reader " << current;
      EXPECT_TRUE(!configured[current] || goneSince[current])
          << "reader " << current << " taken twice while attached";
    } else if (probed && attached && probeOpened) {
      // A reader never taken that answered is taken at once.
      EXPECT_TRUE(configured[current]) << "reader " << current << " answered and was not taken";
    }
    probed = false;
    probeOpened = true;
  };

  StationHooks hooks;
  hooks.now = [] { return std::chrono::steady_clock::time_point(); };
  hooks.time = [&] {
    probeEnded(true);
    configuring = true;
    configured[current] = true;
    goneSince[current] = false;
    taken.push_back({current, readers.hostileValues, {}, {}, {}});
    return std::string("2026-12-07 10:00:00.000");
  };
  hooks.sleep = [&](std::chrono::milliseconds) {
    if (configuring) {
      taken.back().after = readers.sim.State();
      configuring = false;
    } else {
      probeEnded(false);
    }
    if (readers.sim.State().attached) {
      if (--stay == 0) readers.sim.State().attached = false;
    } else if (--away == 0) {
      ++current;
      if (current < kReaders) plug();
    }
  };
  hooks.stopRequested = [&] { return current >= kReaders; };

  TempFolder folder;
  StationOptions options;
  options.json = true;
  std::ostringstream out, err;
  const int exitStatus = RunStation(options, driver, TestPlatform(folder.Path()), hooks, out, err);

  std::vector<nlohmann::json> lines;
  std::istringstream text(out.str());
  for (std::string line; std::getline(text, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(lines.size(), taken.size());
  int ok = 0, failed = 0, differs = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Configuration& c = taken[i];
    const std::string result = lines[i]["result"];
    SCOPED_TRACE(::testing::Message() << "reader " << c.reader << ": " << lines[i].dump());
    const bool allSucceeded =
        std::all_of(c.statuses.begin(), c.statuses.end(), [](std::int32_t s) { return s == 0; });
    // What the window's factory default makes of the same reader.
    SimulatedReader twin;
    twin.State() = plugged[static_cast<std::size_t>(c.reader)];
    LinkState link;
    FactoryDefault(twin, link, DefaultInterfaceText());
    const bool holdsFactory = !c.hostileValues && c.after == twin.State();
    // Ok exactly when every call succeeded and the reader holds the factory configuration: a
    // reader that keeps what it is told, asked without a failure, is ok.
    EXPECT_EQ(result == "ok", allSucceeded && holdsFactory)
        << "every call 0: " << allSucceeded << ", hostile values: " << c.hostileValues
        << ", holds what the window writes: " << (c.after == twin.State())
        << ", failed: " << c.failedCalls;
    if (allSucceeded && !c.hostileValues) {
      EXPECT_EQ(result, "ok");
    }
    if (result == "ok") {
      EXPECT_EQ(lines[i]["serialNumber"],
                SerialNumberText(std::span<const std::uint8_t, 12>(c.after.serial)));
    }
    ok += result == "ok";
    failed += result == "failed";
    differs += result == "differs";
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_EQ(exitStatus, failed > 0 ? kExitFailed : differs > 0 ? kExitDiffers : kExitOk);
  // Readers of every outcome were met.
  EXPECT_GT(ok, 0);
  EXPECT_GT(failed, 0);
  EXPECT_GT(differs, 0);
  std::printf("hostile station: %d readers, %zu taken: %d ok, %d failed, %d differs\n", kReaders,
              taken.size(), ok, failed, differs);
}

}  // namespace
}  // namespace uhf::cli::testing
