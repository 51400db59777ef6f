#include "station/StationCycle.h"

#include <array>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <utility>

#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"
#include "text/Utf8Path.h"

namespace uhf {

namespace {

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

// A reader that answered is the one already taken unless both serial numbers are known and
// differ.
bool SameReader(const std::string& taken, const std::string& answered) {
  return taken.empty() || answered.empty() || taken == answered;
}

void Fail(ReaderOutcome& outcome, const char* operation, std::string error) {
  outcome.result = StationResult::Failed;
  outcome.operation = operation;
  outcome.error = std::move(error);
}

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

std::string FailureText(const OperationResult& result) {
  std::string text;
  if (!result.succeeded) text = result.statusText;
  for (const std::string& message : result.messages) {
    if (!text.empty()) text += "; ";
    text += message;
  }
  return text;
}

const char* ResultName(StationResult result) {
  switch (result) {
    case StationResult::Failed:
      return "failed";
    case StationResult::Differs:
      return "differs";
    case StationResult::Ok:
      break;
  }
  return "ok";
}

std::optional<StationTask> ProfileTask(const std::filesystem::path& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read " + PathText(path);
    return std::nullopt;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ProfileError problem;
  StationTask task;
  task.job = StationJob::Apply;
  task.profileName = PathText(path);
  task.profile = ParseProfile(text, problem);
  if (!task.profile) {
    error = PathText(path) + ": " + problem.Text();
    return std::nullopt;
  }
  return task;
}

StationCycle::StationCycle(ReaderDriver& driver, Link link, InterfaceText texts, StationTask task,
                           std::function<std::chrono::steady_clock::time_point()> now,
                           std::function<std::string()> time)
    : driver_(driver),
      link_(std::move(link)),
      texts_(std::move(texts)),
      task_(std::move(task)),
      now_(std::move(now)),
      time_(std::move(time)) {}

std::optional<std::string> StationCycle::FindNewReader() {
  const std::int32_t opened =
      link_.kind == LinkKind::Network
          ? driver_.Net_Connect(link_.hostIp.c_str(), link_.hostPort, link_.readerIp.c_str(),
                                link_.readerPort)
          : driver_.OpenCom(link_.kind == LinkKind::Usb ? kUsbPort : link_.port, link_.baud);
  std::optional<std::string> answered;
  if (opened == 0) {
    std::uint8_t kind = 0;
    std::uint8_t extra = 0;
    if (driver_.Handshake(kBus, 1, &kind, &extra) == 0) {
      std::array<std::uint8_t, 50> bytes{};
      answered = driver_.Get_SerNum(kBus, bytes.data()) == 0
                     ? SerialNumberText(std::span<const std::uint8_t, 12>(bytes.data(), 12))
                     : std::string();
    }
    driver_.CloseCom();
  }
  if (!answered) {
    present_.reset();
    return std::nullopt;
  }
  if (present_ && SameReader(*present_, *answered)) return std::nullopt;
  present_.reset();
  return answered;
}

std::optional<ReaderConfiguration> StationCycle::Read(ReaderOutcome& outcome,
                                                      const char* operation) {
  const ConfigurationRead read = ReadConfiguration(driver_, link_, linkState_, texts_);
  const ReaderConfiguration& c = read.configuration;
  if (c.serialNumberText) outcome.serialNumber = *c.serialNumberText;
  if (c.versionText) outcome.version = *c.versionText;
  if (read.result.succeeded) return c;
  Fail(outcome, operation, FailureText(read.result));
  return std::nullopt;
}

ReaderOutcome StationCycle::Configure(const std::string& serialNumber) {
  const auto began = now_();
  ReaderOutcome outcome;
  outcome.time = time_();
  outcome.serialNumber = serialNumber;
  const bool usb = UsbLink();
  std::optional<ReaderConfiguration> wanted;
  std::optional<ReaderConfiguration> back;
  if (task_.job == StationJob::FactoryDefault) {
    const OperationResult reset = FactoryDefault(driver_, linkState_, texts_);
    if (!reset.succeeded) {
      Fail(outcome, "factory default", FailureText(reset));
    } else if ((back = Read(outcome, "read back"))) {
      // The band stays the reader's: the plan read back tells it.
      const std::int32_t planStart =
          back->frequencyPlan ? back->frequencyPlan->start : std::int32_t{0};
      wanted = FactoryConfiguration(back->readerKind.value_or(0), planStart);
    }
  } else if (const auto read = Read(outcome, "read")) {
    if (const auto refusal = CheckProfile(*task_.profile, *read, usb)) {
      Fail(outcome, "profile", task_.profileName + ": " + refusal->Text());
    } else {
      const ReaderConfiguration desired = DesiredConfiguration(*task_.profile, *read, usb);
      const OperationResult saved =
          SaveConfiguration(driver_, desired, usb ? LinkKind::Usb : LinkKind::Serial, texts_);
      if (!saved.succeeded) {
        Fail(outcome, "save", FailureText(saved));
      } else if ((back = Read(outcome, "read back"))) {
        wanted = desired;
      }
    }
  }
  if (wanted && back) {
    outcome.differences = CompareSettings(*wanted, *back, usb);
    if (!outcome.differences.empty()) outcome.result = StationResult::Differs;
  }
  // The link the read left open is closed; a reader that refuses even that is not ok.
  if (linkState_.open) {
    const std::int32_t closed = driver_.CloseCom();
    linkState_.open = false;
    if (closed != 0 && outcome.result == StationResult::Ok) {
      Fail(outcome, "close", "CloseCom returned " + std::to_string(closed));
    }
  }
  present_ = outcome.serialNumber;
  outcome.durationMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(now_() - began).count();
  return outcome;
}

}  // namespace uhf
