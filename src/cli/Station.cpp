#include "cli/Station.h"

#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/ReaderProfile.h"
#include "cli/StationLog.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"
#include "text/Utf8Path.h"

namespace uhf::cli {

namespace {

using Json = nlohmann::ordered_json;

// What became of one reader.
struct Outcome {
  std::string time;
  std::string serialNumber;
  std::string version;
  std::string result = "ok";  // "ok", "failed", "differs"
  std::string operation;      // failed: the operation that failed
  std::string error;          // failed: what the window would show
  std::vector<SettingDifference> differences;
  long long durationMs = 0;

  int ExitStatus() const {
    return result == "failed" ? kExitFailed : result == "differs" ? kExitDiffers : kExitOk;
  }
};

std::string Number(unsigned value) {
  return std::to_string(value);
}

// A Wiegand format as its name (0x26: 26).
std::string FormatText(std::uint8_t format) {
  return format == ReaderSettings::kWiegand26   ? "26"
         : format == ReaderSettings::kWiegand34 ? "34"
                                                : Number(format);
}

std::string RecordText(const WiegandOutputRecord& r) {
  return Number(r.leadByte) + "," + Number(r.startByte) + "," + Number(r.length) + "," +
         Number(r.inverted);
}

std::string PlanText(const FrequencyPlan& p) {
  return "form " + Number(p.form) + " " + std::to_string(p.start) + " to " + std::to_string(p.end) +
         " step " + std::to_string(p.step) + " count " + Number(p.count);
}

// Whether a link opens and a reader answers its handshake: nothing when not, else its serial
// number (empty when it gave none). The link is closed again.
std::optional<std::string> Probe(ReaderDriver& driver, const Link& link) {
  const std::int32_t opened =
      link.kind == uhf::LinkKind::Network
          ? driver.Net_Connect(link.hostIp.c_str(), link.hostPort, link.readerIp.c_str(),
                               link.readerPort)
          : driver.OpenCom(link.kind == uhf::LinkKind::Usb ? kUsbPort : link.port, link.baud);
  if (opened != 0) return std::nullopt;
  std::optional<std::string> serial;
  std::uint8_t kind = 0;
  std::uint8_t extra = 0;
  if (driver.Handshake(kBus, 1, &kind, &extra) == 0) {
    std::array<std::uint8_t, 50> bytes{};
    serial = driver.Get_SerNum(kBus, bytes.data()) == 0
                 ? SerialNumberText(std::span<const std::uint8_t, 12>(bytes.data(), 12))
                 : std::string();
  }
  driver.CloseCom();
  return serial;
}

// A reader that answered is the one already taken unless both serial numbers are known and
// differ.
bool SameReader(const std::string& taken, const std::string& answered) {
  return taken.empty() || answered.empty() || taken == answered;
}

class Station {
 public:
  Station(const StationOptions& options, ReaderDriver& driver, DialogPlatform platform,
          const StationHooks& hooks, std::ostream& out, std::ostream& err)
      : options_(options),
        session_(driver, std::move(platform)),
        hooks_(hooks),
        out_(out),
        err_(err) {}

  int Run() {
    if (const auto problem = session_.SetLink(options_.link)) {
      err_ << "uhf-readerctl: " << *problem << '\n';
      return kExitUsage;
    }
    if (options_.job == StationJob::Apply && !LoadProfile()) return kExitUsage;
    // The serial number of the reader taken last while it stays attached.
    std::optional<std::string> present;
    int taken = 0;
    while ((options_.count == 0 || taken < options_.count) && !hooks_.stopRequested()) {
      const Link link = LinkFromControls(session_.Context());
      const std::optional<std::string> answered = Probe(session_.Context().driver, link);
      if (!answered) present.reset();
      if (!answered || (present && SameReader(*present, *answered))) {
        ShowWaiting(present);
        hooks_.sleep(options_.poll);
        continue;
      }
      ClearWaiting();
      const Outcome outcome = Configure(*answered);
      Report(outcome);
      ++taken;
      present = outcome.serialNumber;
      if (options_.count == 0 || taken < options_.count) hooks_.sleep(options_.poll);
    }
    ClearWaiting();
    if (failed_ > 0 || logFailed_) return kExitFailed;
    return differs_ > 0 ? kExitDiffers : kExitOk;
  }

 private:
  bool LoadProfile() {
    std::ifstream file(options_.profile, std::ios::binary);
    if (!file) {
      err_ << "uhf-readerctl: cannot read " << PathText(options_.profile) << '\n';
      return false;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ProfileError error;
    profile_ = ParseProfile(text, error);
    if (!profile_)
      err_ << "uhf-readerctl: " << PathText(options_.profile) << ": " << error.Text() << '\n';
    return profile_.has_value();
  }

  bool Usb() const { return options_.link.kind == LinkKind::Usb; }

  // The window's read; the configuration when every call succeeded, else the failure noted.
  std::optional<ReaderConfiguration> Read(Outcome& outcome, const char* operation) {
    const std::optional<ConfigurationRead> read = OnConnect(session_.Context());
    if (!read) {
      Fail(outcome, operation, "a link setting was refused");
      return std::nullopt;
    }
    const ReaderConfiguration& c = read->configuration;
    if (c.serialNumberText) outcome.serialNumber = *c.serialNumberText;
    if (c.versionText) outcome.version = *c.versionText;
    if (read->result.succeeded) return c;
    Fail(outcome, operation, FailureText(read->result));
    return std::nullopt;
  }

  static void Fail(Outcome& outcome, const char* operation, std::string error) {
    outcome.result = "failed";
    outcome.operation = operation;
    outcome.error = std::move(error);
  }

  // Runs the job, reads the reader back and compares; the link is closed afterwards.
  Outcome Configure(const std::string& serial) {
    const auto began = hooks_.now();
    Outcome outcome;
    outcome.time = hooks_.time();
    outcome.serialNumber = serial;
    DialogContext& ctx = session_.Context();
    std::optional<ReaderConfiguration> wanted;
    std::optional<ReaderConfiguration> back;
    if (options_.job == StationJob::FactoryDefault) {
      const OperationResult reset = OnFactoryDefault(ctx);
      if (!reset.succeeded) {
        Fail(outcome, "factory default", FailureText(reset));
      } else if ((back = Read(outcome, "read back"))) {
        // The band stays the reader's: the plan read back tells it.
        const std::int32_t planStart =
            back->frequencyPlan ? back->frequencyPlan->start : std::int32_t{0};
        wanted = FactoryConfiguration(back->readerKind.value_or(0), planStart);
      }
    } else if (const auto read = Read(outcome, "read")) {
      if (const auto refusal = CheckProfile(*profile_, *read, Usb())) {
        Fail(outcome, "profile", PathText(options_.profile) + ": " + refusal->Text());
      } else {
        const ReaderConfiguration desired = DesiredConfiguration(*profile_, *read, Usb());
        const OperationResult saved =
            SaveConfiguration(ctx.driver, desired,
                              Usb() ? uhf::LinkKind::Usb : uhf::LinkKind::Serial, ctx.state.texts);
        if (!saved.succeeded) {
          Fail(outcome, "save", FailureText(saved));
        } else if ((back = Read(outcome, "read back"))) {
          wanted = desired;
        }
      }
    }
    if (wanted && back) {
      outcome.differences = CompareSettings(*wanted, *back, Usb());
      if (!outcome.differences.empty()) outcome.result = "differs";
    }
    LinkState link = LinkStateOf(ctx.state);
    CloseHeldLink(ctx.driver, link);
    KeepLinkState(ctx.state, link);
    outcome.durationMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(hooks_.now() - began).count();
    return outcome;
  }

  std::string JobText() const {
    return options_.job == StationJob::FactoryDefault ? "factory-default"
                                                      : "apply " + PathText(options_.profile);
  }

  void Report(const Outcome& o) {
    (o.result == "failed" ? failed_ : o.result == "differs" ? differs_ : ok_) += 1;
    std::string differences;
    for (const SettingDifference& d : o.differences) {
      differences +=
          (differences.empty() ? "" : "; ") + d.setting + " wanted " + d.wanted + " read " + d.read;
    }
    if (options_.json) {
      Json line = {{"time", o.time},       {"serialNumber", o.serialNumber},
                   {"version", o.version}, {"link", LinkText(options_.link)},
                   {"job", JobText()},     {"result", o.result}};
      if (o.result == "failed") {
        line["operation"] = o.operation;
        line["error"] = o.error;
      }
      Json list = Json::array();
      for (const SettingDifference& d : o.differences) {
        list.push_back({{"setting", d.setting}, {"wanted", d.wanted}, {"read", d.read}});
      }
      line["differences"] = list;
      line["durationMs"] = o.durationMs;
      out_ << line.dump() << std::endl;
    } else {
      out_ << o.time << "  " << (o.serialNumber.empty() ? "-" : o.serialNumber) << "  " << o.result;
      if (o.result == "failed") out_ << "  " << o.operation << ": " << o.error;
      if (o.result == "differs") out_ << "  " << differences;
      out_ << "  (" << o.durationMs << " ms)" << std::endl;
    }
    if (options_.stationLog.empty()) return;
    const CommandReport report{o.ExitStatus(), o.result, o.serialNumber, o.version};
    const std::string line = StationReaderLine(
        o.time, "station " + JobText(), LinkText(options_.link), report, differences, o.durationMs);
    std::string error;
    if (!AppendStationLog(options_.stationLog, line, error, StationLogColumns::Station)) {
      err_ << "uhf-readerctl: station log: " << error << '\n';
      logFailed_ = true;
    }
  }

  std::string Counts() const {
    return std::to_string(ok_ + failed_ + differs_) + " done: " + std::to_string(ok_) + " ok, " +
           std::to_string(failed_) + " failed, " + std::to_string(differs_) + " differs";
  }

  // One waiting line: rewritten in place on a terminal, else written once per wait.
  void ShowWaiting(const std::optional<std::string>& present) {
    const std::string text = present ? "remove reader " + (present->empty() ? "-" : *present) +
                                           " to take the next (" + Counts() + ")"
                                     : "waiting for a reader (" + Counts() + ")";
    const bool leaving = present.has_value();
    if (options_.liveStatus) {
      err_ << '\r' << text << std::string(shown_ > text.size() ? shown_ - text.size() : 0, ' ')
           << std::flush;
      shown_ = text.size();
    } else if (!waiting_ || leaving != leaving_) {
      err_ << text << '\n';
    }
    waiting_ = true;
    leaving_ = leaving;
  }

  void ClearWaiting() {
    if (options_.liveStatus && shown_ > 0) err_ << '\r' << std::string(shown_, ' ') << '\r';
    shown_ = 0;
    waiting_ = false;
  }

  const StationOptions& options_;
  Session session_;
  const StationHooks& hooks_;
  std::ostream& out_;
  std::ostream& err_;
  std::optional<ParsedProfile> profile_;
  int ok_ = 0;
  int failed_ = 0;
  int differs_ = 0;
  bool logFailed_ = false;
  bool waiting_ = false;
  bool leaving_ = false;
  std::size_t shown_ = 0;
};

}  // namespace

std::vector<SettingDifference> CompareSettings(const ReaderConfiguration& wanted,
                                               const ReaderConfiguration& read, bool usbLink) {
  std::vector<SettingDifference> differences;
  const auto compare = [&](const char* setting, const auto& want, const auto& got,
                           const auto& text) {
    if (!want) return;
    if (got && text(*want) == text(*got)) return;
    differences.push_back({setting, text(*want), got ? text(*got) : std::string()});
  };
  const auto number = [](std::uint8_t v) { return Number(v); };
  const auto flag = [](std::uint8_t v) { return std::string(v != 0 ? "1" : "0"); };
  compare("buzzer", wanted.buzzer, read.buzzer, flag);
  compare("workMode", wanted.workMode, read.workMode, number);
  compare("readTime", wanted.readTime, read.readTime, number);
  compare("outputTime", wanted.outputTime, read.outputTime, number);
  compare("wiegandOutput", wanted.wiegandOutput, read.wiegandOutput, RecordText);
  // The format travels over the USB link only.
  if (usbLink) compare("wiegandFormat", wanted.wiegandFormat, read.wiegandFormat, FormatText);
  compare("passwordEnabled", wanted.passwordEnabled, read.passwordEnabled, flag);
  // The password is written with the flag only.
  if (wanted.passwordEnabled) {
    compare("checkPassword", wanted.checkPassword, read.checkPassword, PasswordBytesToText);
  }
  compare("tagInterval", wanted.tagInterval, read.tagInterval, number);
  // The power is written only to a kind with a power scale.
  if (wanted.readerKind && PowerScaleFor(*wanted.readerKind)) {
    compare("outPower", wanted.outPower, read.outPower, number);
  }
  compare("readerAddress", wanted.readerAddress, read.readerAddress, number);
  compare("frequencyPlan", wanted.frequencyPlan, read.frequencyPlan, PlanText);
  return differences;
}

int RunStation(const StationOptions& options, ReaderDriver& driver, DialogPlatform platform,
               const StationHooks& hooks, std::ostream& out, std::ostream& err) {
  Station station(options, driver, std::move(platform), hooks, out, err);
  return station.Run();
}

}  // namespace uhf::cli
