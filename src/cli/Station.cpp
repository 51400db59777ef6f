#include "cli/Station.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/StationLog.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"
#include "station/StationCycle.h"
#include "text/Utf8Path.h"

namespace uhf::cli {

namespace {

using Json = nlohmann::ordered_json;

int ExitStatusOf(StationResult result) {
  return result == StationResult::Failed    ? kExitFailed
         : result == StationResult::Differs ? kExitDiffers
                                            : kExitOk;
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
    StationTask task;
    if (options_.job == StationJob::Apply) {
      std::string error;
      std::optional<StationTask> applied = ProfileTask(options_.profile, error);
      if (!applied) {
        err_ << "uhf-readerctl: " << error << '\n';
        return kExitUsage;
      }
      task = std::move(*applied);
    }
    DialogContext& ctx = session_.Context();
    StationCycle cycle(ctx.driver, LinkFromControls(ctx), ctx.state.texts, std::move(task),
                       hooks_.now, hooks_.time);
    int taken = 0;
    while ((options_.count == 0 || taken < options_.count) && !hooks_.stopRequested()) {
      const auto polled = hooks_.now();
      const std::optional<std::string> found = cycle.FindNewReader();
      if (!found) {
        ShowWaiting(cycle.Present());
        hooks_.sleep(UntilNextPoll(polled));
        continue;
      }
      ClearWaiting();
      Report(cycle.Configure(*found));
      ++taken;
      if (options_.count == 0 || taken < options_.count) hooks_.sleep(UntilNextPoll(polled));
    }
    ClearWaiting();
    if (failed_ > 0 || logFailed_) return kExitFailed;
    return differs_ > 0 ? kExitDiffers : kExitOk;
  }

 private:
  // What is left of the poll interval that began at `polled`: polls begin every interval, the
  // time a poll or a reader took counted in it.
  std::chrono::milliseconds UntilNextPoll(std::chrono::steady_clock::time_point polled) const {
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(hooks_.now() - polled);
    return std::max(options_.poll - spent, std::chrono::milliseconds(0));
  }

  std::string JobText() const {
    return options_.job == StationJob::FactoryDefault ? "factory-default"
                                                      : "apply " + PathText(options_.profile);
  }

  void Report(const ReaderOutcome& o) {
    (o.result == StationResult::Failed    ? failed_
     : o.result == StationResult::Differs ? differs_
                                          : ok_) += 1;
    const std::string result = ResultName(o.result);
    std::string differences;
    for (const SettingDifference& d : o.differences) {
      differences +=
          (differences.empty() ? "" : "; ") + d.setting + " wanted " + d.wanted + " read " + d.read;
    }
    if (options_.json) {
      Json line = {{"time", o.time},       {"serialNumber", o.serialNumber},
                   {"version", o.version}, {"link", LinkText(options_.link)},
                   {"job", JobText()},     {"result", result}};
      if (o.result == StationResult::Failed) {
        line["operation"] = o.operation;
        line["error"] = o.error;
      }
      Json list = Json::array();
      for (const SettingDifference& d : o.differences) {
        list.push_back({{"setting", d.setting}, {"wanted", d.wanted}, {"read", d.read}});
      }
      line["differences"] = list;
      line["durationMs"] = o.durationMs;
      // A reader's texts may hold bytes that are no UTF-8: replaced, never a stop.
      out_ << line.dump(-1, ' ', false, Json::error_handler_t::replace) << std::endl;
    } else {
      out_ << o.time << "  " << (o.serialNumber.empty() ? "-" : o.serialNumber) << "  " << result;
      if (o.result == StationResult::Failed) out_ << "  " << o.operation << ": " << o.error;
      if (o.result == StationResult::Differs) out_ << "  " << differences;
      out_ << "  (" << o.durationMs << " ms)" << std::endl;
    }
    if (options_.stationLog.empty()) return;
    const CommandReport report{ExitStatusOf(o.result), result, o.serialNumber, o.version};
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
  int ok_ = 0;
  int failed_ = 0;
  int differs_ = 0;
  bool logFailed_ = false;
  bool waiting_ = false;
  bool leaving_ = false;
  std::size_t shown_ = 0;
};

}  // namespace

int RunStation(const StationOptions& options, ReaderDriver& driver, DialogPlatform platform,
               const StationHooks& hooks, std::ostream& out, std::ostream& err) {
  Station station(options, driver, std::move(platform), hooks, out, err);
  return station.Run();
}

}  // namespace uhf::cli
