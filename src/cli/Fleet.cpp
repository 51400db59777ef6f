#include "cli/Fleet.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/FleetList.h"
#include "cli/StationLog.h"
#include "driver/LoggingDriver.h"
#include "station/ReaderProfile.h"
#include "text/Utf8Path.h"

namespace uhf::cli {

namespace {

using Clock = std::chrono::steady_clock;
using Json = nlohmann::ordered_json;

std::optional<std::string> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The fields of one CSV line as the station log writes them.
std::vector<std::string> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c != '\r' && c != '\n') {
      fields.back() += c;
    }
  }
  return fields;
}

// The last line of a text that has one (the header of a new station log is the first).
std::string LastLine(const std::string& text) {
  std::istringstream lines(text);
  std::string last;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line != "\r") last = line;
  }
  return last;
}

std::string Seconds(Clock::duration d) {
  const long long tenths = std::chrono::duration_cast<std::chrono::milliseconds>(d).count() / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

long long Milliseconds(Clock::duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

// An exported profile's file name: the serial number's digits ("SN:2026..." as the reader shows
// it; a colon is no file name character on Windows).
std::string ProfileName(std::string_view serialNumber) {
  if (serialNumber.starts_with("SN:")) serialNumber.remove_prefix(3);
  std::string name;
  for (const char c : serialNumber) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       c == '-' || c == '_' || c == '.';
    name += plain ? c : '_';
  }
  return name + ".ini";
}

struct Outcome {
  bool started = false;
  bool done = false;
  int exitStatus = kExitFailed;
  std::string result = "not started";
  std::string error;
  std::string serialNumber;
  std::string version;
  std::string file;  // export: the profile written
  std::vector<std::string> differences;
  long long durationMs = 0;
};

class Fleet {
 public:
  Fleet(const FleetOptions& options, const FleetHooks& hooks, std::ostream& out, std::ostream& err)
      : options_(options), hooks_(hooks), out_(out), err_(err) {}

  int Run() {
    if (!Prepare()) return kExitUsage;
    if (!MakeWorkFolder()) return kExitFailed;
    outcomes_.resize(readers_.size());
    Drive();
    ClearStatus();
    std::error_code ignored;
    std::filesystem::remove_all(work_, ignored);
    return Report();
  }

 private:
  struct Running {
    std::size_t index;
    std::unique_ptr<FleetChild> child;
    Clock::time_point started;
  };

  bool Refuse(const std::string& text) {
    err_ << "uhf-readerctl: " << text << '\n';
    return false;
  }

  // Everything that can be refused is refused before any reader is touched.
  bool Prepare() {
    const std::optional<std::string> list = FileBytes(options_.readers);
    if (!list) return Refuse("cannot read " + PathText(options_.readers));
    std::string error;
    auto readers = ParseReaderList(*list, error);
    if (!readers) return Refuse(PathText(options_.readers) + ": " + error);
    readers_ = std::move(*readers);
    if (options_.job == FleetJob::Apply) {
      const std::optional<std::string> text = FileBytes(options_.target);
      if (!text) return Refuse("cannot read " + PathText(options_.target));
      ProfileError problem;
      if (!ParseProfile(*text, problem)) {
        return Refuse(PathText(options_.target) + ": " + problem.Text());
      }
    }
    for (const std::filesystem::path* folder : {&options_.target, &options_.logDir}) {
      if (folder == &options_.target && options_.job != FleetJob::Export) continue;
      if (folder->empty()) continue;
      std::error_code made;
      std::filesystem::create_directories(*folder, made);
      if (!std::filesystem::is_directory(*folder, made)) {
        return Refuse("cannot make the folder " + PathText(*folder));
      }
    }
    if (options_.program.empty()) return Refuse("cannot tell which program this is");
    return true;
  }

  // The children's output, errors and station log lines, until each is read.
  bool MakeWorkFolder() {
    std::random_device random;
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 100 && !error; ++attempt) {
      work_ = temp / ("uhf-readerctl-fleet-" + std::to_string(random()));
      if (std::filesystem::create_directory(work_, error)) return true;
    }
    err_ << "uhf-readerctl: cannot make a work folder in " << PathText(temp) << '\n';
    return false;
  }

  std::filesystem::path WorkFile(std::size_t index, const char* kind) const {
    return work_ / (std::to_string(index) + kind);
  }

  std::string CommandText() const {
    switch (options_.job) {
      case FleetJob::Read:
        return "read";
      case FleetJob::FactoryDefault:
        return "factory-default";
      case FleetJob::Apply:
        return "apply " + PathText(options_.target);
      case FleetJob::Export:
        break;
    }
    return "export";
  }

  // Where an export's child writes before the profile gets the reader's serial number as name.
  std::filesystem::path PartFile(const FleetReader& reader) const {
    return options_.target / ("." + reader.ip + "_" + std::to_string(reader.port) + ".part");
  }

  std::vector<std::string> ChildArgs(std::size_t index) const {
    const FleetReader& reader = readers_[index];
    std::vector<std::string> args = {PathText(options_.program), "--link", "tcp", "--reader",
                                     reader.Address()};
    if (!options_.host.empty()) args.insert(args.end(), {"--host", options_.host});
    if (!options_.driver.empty()) args.insert(args.end(), {"--driver", options_.driver});
    if (!options_.logDir.empty()) {
      const std::string name = reader.ip + "_" + std::to_string(reader.port) + ".log";
      args.insert(args.end(), {"--log", PathText(options_.logDir / name)});
    }
    args.insert(args.end(), {"--station-log", PathText(WorkFile(index, ".csv")), "--json"});
    switch (options_.job) {
      case FleetJob::Read:
        args.emplace_back("read");
        break;
      case FleetJob::FactoryDefault:
        args.emplace_back("factory-default");
        break;
      case FleetJob::Apply:
        args.insert(args.end(), {"apply", PathText(options_.target)});
        break;
      case FleetJob::Export:
        args.insert(args.end(), {"export", PathText(PartFile(reader))});
        break;
    }
    return args;
  }

  void Start(std::size_t index) {
    Outcome& outcome = outcomes_[index];
    outcome.started = true;
    std::string error;
    std::unique_ptr<FleetChild> child =
        hooks_.start(ChildArgs(index), WorkFile(index, ".out"), WorkFile(index, ".err"), error);
    if (!child) {
      outcome.result = "failed";
      outcome.error = error;
      Done(index, {});
      return;
    }
    running_.push_back({index, std::move(child), hooks_.now()});
  }

  // Takes what the child left: its exit status, its JSON, its error text and its station log
  // line.
  void Finish(const Running& run, std::optional<int> status) {
    Outcome& o = outcomes_[run.index];
    o.durationMs = Milliseconds(hooks_.now() - run.started);
    const std::string out = FileBytes(WorkFile(run.index, ".out")).value_or("");
    const std::string errors = FileBytes(WorkFile(run.index, ".err")).value_or("");
    const std::vector<std::string> logged =
        CsvFields(LastLine(FileBytes(WorkFile(run.index, ".csv")).value_or("")));
    std::string time;
    if (logged.size() >= 7) {
      time = logged[0];
      o.serialNumber = logged[3];
      o.version = logged[4];
    }
    if (!status) {
      o.exitStatus = kExitFailed;
      o.result = "failed";
      o.error = "no answer";
    } else {
      o.exitStatus = *status;
      o.result = *status == kExitOk ? "ok" : *status == kExitDiffers ? "differs" : "failed";
      const Json document = Json::parse(out, nullptr, false);
      if (document.is_object() && document.contains("differences")) {
        for (const Json& d : document["differences"]) {
          if (d.is_object() && d.contains("key") && d["key"].is_string()) {
            o.differences.push_back(d["key"].get<std::string>());
          }
        }
      }
      if (o.result == "failed") {
        if (document.is_object() && document.contains("error") && document["error"].is_string()) {
          o.error = document["error"].get<std::string>();
        } else {
          // The companion's last word on stderr.
          std::istringstream lines(errors);
          for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.starts_with("uhf-readerctl: ")) o.error = line.substr(15);
          }
          if (o.error.empty()) o.error = "exit status " + std::to_string(*status);
        }
      }
    }
    if (options_.job == FleetJob::Export) {
      const std::filesystem::path part = PartFile(readers_[run.index]);
      std::error_code error;
      if (o.result == "ok") {
        const std::filesystem::path named = options_.target / ProfileName(o.serialNumber);
        // Two readers with one serial number would share a file: the second is refused.
        const bool taken = !exported_.insert(PathText(named)).second;
        if (!taken) std::filesystem::rename(part, named, error);
        if (taken || error || o.serialNumber.empty() || o.serialNumber == "SN:") {
          o.result = "failed";
          o.exitStatus = kExitFailed;
          o.error = taken ? PathText(named) + " is another reader's of this run"
                          : "cannot write " + PathText(named);
        } else {
          o.file = PathText(named);
        }
      }
      if (o.result != "ok") std::filesystem::remove(part, error);
    }
    Done(run.index, time);
    for (const char* kind : {".out", ".err", ".csv"}) {
      std::error_code ignored;
      std::filesystem::remove(WorkFile(run.index, kind), ignored);
    }
  }

  // Counts the reader and gives the station log its line.
  void Done(std::size_t index, std::string time) {
    Outcome& o = outcomes_[index];
    o.done = true;
    (o.result == "ok" ? ok_ : o.result == "differs" ? differs_ : failed_) += 1;
    if (options_.stationLog.empty()) return;
    const std::string command =
        options_.job == FleetJob::Export && !o.file.empty() ? "export " + o.file : CommandText();
    LinkOptions link;
    link.kind = LinkKind::Tcp;
    link.reader = readers_[index].Address();
    const CommandReport report{o.exitStatus, o.result, o.serialNumber, o.version};
    const std::string line =
        StationLogLine(time.empty() ? ExchangeLogTime() : time, command, LinkText(link), report);
    std::string error;
    if (!AppendStationLog(options_.stationLog, line, error)) {
      if (!logFailed_) err_ << "uhf-readerctl: station log: " << error << '\n';
      logFailed_ = true;
    }
  }

  void Drive() {
    const std::size_t parallel = static_cast<std::size_t>(std::max(1, options_.parallel));
    std::size_t next = 0;
    bool stopNoted = false;
    for (;;) {
      const bool stopping = hooks_.stopRequested();
      if (stopping && !stopNoted && next < readers_.size()) {
        ClearStatus();
        err_ << "uhf-readerctl: stopping: no new reader; waiting for the " << running_.size()
             << " running\n";
        stopNoted = true;
      }
      while (!stopping && running_.size() < parallel && next < readers_.size()) Start(next++);
      if (running_.empty() && (stopping || next == readers_.size())) return;
      bool ended = false;
      for (auto it = running_.begin(); it != running_.end();) {
        std::optional<int> status = it->child->Poll();
        const bool late = !status && hooks_.now() - it->started >= options_.timeout;
        if (late) it->child->Kill();
        if (status || late) {
          Finish(*it, status);
          it = running_.erase(it);
          ended = true;
        } else {
          ++it;
        }
      }
      ShowStatus();
      if (ended) continue;
      // Until a child ends, the next one is late or the progress line is due.
      Clock::duration wait = std::chrono::milliseconds(100);
      for (const Running& run : running_) {
        wait = std::min(wait, run.started + options_.timeout - hooks_.now());
      }
      hooks_.sleep(
          std::chrono::ceil<std::chrono::milliseconds>(std::max(wait, Clock::duration::zero())));
    }
  }

  void ShowStatus() {
    if (!options_.liveStatus) return;
    const Clock::time_point now = hooks_.now();
    if (shown_ && now - lastShown_ < std::chrono::milliseconds(200)) return;
    const std::size_t done = ok_ + failed_ + differs_;
    const Clock::duration elapsed = now - began_;
    std::string text = std::to_string(done) + "/" + std::to_string(readers_.size()) + " done, " +
                       std::to_string(ok_) + " ok, " + std::to_string(failed_) + " failed, " +
                       Seconds(elapsed);
    if (done > 0 && done < readers_.size()) {
      text += ", about " +
              Seconds(elapsed * static_cast<long long>(readers_.size() - done) /
                      static_cast<long long>(done)) +
              " left";
    }
    const std::size_t width = std::max(text.size(), statusWidth_);
    text.resize(width, ' ');
    err_ << '\r' << text << std::flush;
    statusWidth_ = width;
    shown_ = true;
    lastShown_ = now;
  }

  void ClearStatus() {
    if (!shown_) return;
    err_ << '\r' << std::string(statusWidth_, ' ') << '\r' << std::flush;
    shown_ = false;
  }

  int Report() {
    std::size_t notStarted = 0;
    for (std::size_t i = 0; i < readers_.size(); ++i) {
      const FleetReader& reader = readers_[i];
      const Outcome& o = outcomes_[i];
      if (!o.done) ++notStarted;
      if (options_.json) {
        Json line = {{"reader", reader.Address()},
                     {"name", reader.name},
                     {"serialNumber", o.serialNumber},
                     {"version", o.version},
                     {"result", o.result}};
        if (o.result == "failed") line["error"] = o.error;
        if (options_.job == FleetJob::Apply) {
          line["differences"] = o.differences;
        }
        if (!o.file.empty()) line["file"] = o.file;
        line["exitStatus"] = o.done ? Json(o.exitStatus) : Json(nullptr);
        line["durationMs"] = o.durationMs;
        out_ << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
        continue;
      }
      out_ << reader.Address() << "  " << (reader.name.empty() ? "-" : reader.name) << "  "
           << (o.serialNumber.empty() ? "-" : o.serialNumber) << "  " << o.result;
      if (o.result == "failed") out_ << ": " << o.error;
      if (o.result == "differs") {
        std::string keys;
        for (const std::string& key : o.differences) {
          keys += (keys.empty() ? "" : ", ") + key;
        }
        out_ << ": " << keys;
      }
      if (!o.file.empty()) out_ << "  " << o.file;
      if (o.done) out_ << "  (" << o.durationMs << " ms)";
      out_ << '\n';
    }
    const long long total = Milliseconds(hooks_.now() - began_);
    if (options_.json) {
      const Json summary = {{"summary",
                             {{"readers", readers_.size()},
                              {"ok", ok_},
                              {"failed", failed_},
                              {"differs", differs_},
                              {"notStarted", notStarted},
                              {"durationMs", total}}}};
      out_ << summary.dump() << '\n';
    } else {
      out_ << readers_.size() << " readers: " << ok_ << " ok, " << failed_ << " failed, "
           << differs_ << " differs, " << notStarted << " not started ("
           << Seconds(hooks_.now() - began_) << ")\n";
    }
    out_.flush();
    if (failed_ > 0 || notStarted > 0 || logFailed_) return kExitFailed;
    return differs_ > 0 ? kExitDiffers : kExitOk;
  }

  const FleetOptions& options_;
  const FleetHooks& hooks_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<FleetReader> readers_;
  std::vector<Outcome> outcomes_;
  std::vector<Running> running_;
  std::filesystem::path work_;
  std::set<std::string> exported_;  // the profiles this run wrote
  Clock::time_point began_ = hooks_.now();
  std::size_t ok_ = 0;
  std::size_t failed_ = 0;
  std::size_t differs_ = 0;
  bool logFailed_ = false;
  bool shown_ = false;
  std::size_t statusWidth_ = 0;
  Clock::time_point lastShown_;
};

}  // namespace

int RunFleet(const FleetOptions& options, const FleetHooks& hooks, std::ostream& out,
             std::ostream& err) {
  FleetHooks filled = hooks;
  if (!filled.sleep) filled.sleep = WaitForFleetChildren;
  return Fleet(options, filled, out, err).Run();
}

}  // namespace uhf::cli
