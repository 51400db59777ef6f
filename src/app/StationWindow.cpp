#include "app/StationWindow.h"

#include <utility>

#include "dialog/ControlIds.h"
#include "driver/LoggingDriver.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"
#include "text/Utf8.h"
#include "text/Utf8Path.h"

namespace uhf {

namespace {

const std::function<std::chrono::steady_clock::time_point()> SteadyNow = [] {
  return std::chrono::steady_clock::now();
};
const std::function<std::string()> LocalTime = [] { return ExchangeLogTime(); };

}  // namespace

std::optional<WindowArguments> ParseWindowArguments(const std::vector<std::string>& arguments,
                                                    std::string& error) {
  WindowArguments parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--engineering" && !parsed.engineering) {
      parsed.engineering = true;
      continue;
    }
    if (arguments[i] != "--station" || parsed.station) {
      error =
          "unknown argument: " + arguments[i] + " (usage: [--engineering] [--station [PROFILE]])";
      return std::nullopt;
    }
    parsed.station = StationTask{};
    if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
      parsed.station = ProfileTask(Utf8Path(arguments[++i]), error);
      if (!parsed.station) return std::nullopt;
    }
  }
  return parsed;
}

StationWindow::StationWindow(ReaderConfigDialog& dialog, ControlSurface& surface, StationTask task,
                             std::chrono::milliseconds poll, Hooks hooks)
    : dialog_(dialog),
      surface_(surface),
      texts_(dialog.Texts()),
      poll_(poll),
      hooks_(std::move(hooks)),
      cycle_(dialog.Context().driver, LinkFromControls(dialog.Context()), texts_, std::move(task),
             hooks_.now ? hooks_.now : SteadyNow, hooks_.time ? hooks_.time : LocalTime) {
  surface_.SetNotificationHandler([this](int id, Notification notification) {
    // Clicks may start an operation: one at a time on the link. Edits never call the driver, and
    // the window's own writes to them must not wait for a reader's cycle.
    const auto command = [this](int commandId, Notification kind) {
      hooks_.command ? hooks_.command(commandId, kind) : dialog_.OnCommand(commandId, kind);
    };
    if (notification == Notification::EditChanged) return command(id, notification);
    std::lock_guard<std::recursive_mutex> gate(driverGate_);
    command(id, notification);
    // A link the command left open (a read keeps it) would keep the station's polls from every
    // reader: closed at once, what the command showed stays.
    DialogContext& ctx = dialog_.Context();
    LinkState link = LinkStateOf(ctx.state);
    CloseHeldLink(ctx.driver, link);
    KeepLinkState(ctx.state, link);
  });
  surface_.SetFont(idc::StatusPanel, kStationPanelFont);
  ShowWaiting();
}

StationWindow::~StationWindow() {
  Finish();
}

void StationWindow::Start() {
  if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
}

void StationWindow::Finish() {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stop_ = true;
  }
  stopChanged_.notify_all();
  if (worker_.joinable()) worker_.join();
  *alive_ = false;
}

void StationWindow::FinishThen(std::function<void()> finished) {
  if (!worker_.joinable()) {
    *alive_ = false;
    if (finished) finished();
    return;
  }
  finished_ = std::move(finished);
  if (running_) {
    ShowPanel({{texts_.STATION_CLOSING, kStationNeutral}, {CountsText(), kStationNeutral}});
  }
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stop_ = true;
  }
  stopChanged_.notify_all();
}

void StationWindow::Post(std::function<void()> task) {
  hooks_.post([alive = alive_, task = std::move(task)] {
    if (*alive) task();
  });
}

void StationWindow::Pause() {
  if (hooks_.pause) return hooks_.pause(poll_);
  std::unique_lock<std::mutex> lock(stopMutex_);
  stopChanged_.wait_for(lock, poll_, [this] { return stop_; });
}

void StationWindow::Work() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(stopMutex_);
      if (stop_) break;
    }
    std::optional<std::string> found;
    bool present = false;
    {
      std::lock_guard<std::recursive_mutex> gate(driverGate_);
      found = cycle_.FindNewReader();
      present = cycle_.Present().has_value();
    }
    if (!found) {
      // The result stays in view until its reader leaves.
      if (!present) Post([this] { ShowWaiting(); });
      Pause();
      continue;
    }
    Post([this, serial = *found] { ShowRunning(serial); });
    ReaderOutcome outcome;
    {
      std::lock_guard<std::recursive_mutex> gate(driverGate_);
      outcome = cycle_.Configure(*found);
    }
    Post([this, outcome] { ShowOutcome(outcome); });
    Pause();
  }
  Post([this] {
    *alive_ = false;
    if (finished_) finished_();
  });
}

std::string StationWindow::CountsText() const {
  return texts_.STATION_COUNT_OK + " " + std::to_string(ok_) + "    " +
         texts_.STATION_COUNT_FAILED + " " + std::to_string(failed_);
}

void StationWindow::ShowPanel(std::vector<std::pair<std::string, Rgb>> lines) {
  // The second line stays blank: the serial number label stands there on the panel, and the
  // Win32 window paints its background over whatever text lies under it.
  if (!lines.empty()) lines.insert(lines.begin() + 1, {std::string(), kStationNeutral});
  std::string text;
  for (const auto& [line, colour] : lines) text += (text.empty() ? "" : "\n") + line;
  // The panel's bound value too, so that a data exchange shows the same text.
  dialog_.Context().state.values.statusText = text;
  surface_.SetText(idc::StatusPanel, text);
  int start = 0;
  for (const auto& [line, colour] : lines) {
    const int end = start + static_cast<int>(Utf8Length(line));
    surface_.RichSetColor(idc::StatusPanel, start, end, colour);
    start = end + 1;
  }
}

void StationWindow::ShowWaiting() {
  if (waitingShown_) return;
  waitingShown_ = true;
  ShowPanel({{texts_.STATION_WAITING, kStationNeutral}, {CountsText(), kStationNeutral}});
}

void StationWindow::ShowRunning(const std::string& serial) {
  waitingShown_ = false;
  running_ = true;
  enabledBefore_.clear();
  for (const int id : kStationOperatorButtons) {
    enabledBefore_.push_back(surface_.IsEnabled(id));
    surface_.Enable(id, false);
  }
  if (hooks_.cycle) hooks_.cycle(true);
  ShowPanel({{texts_.STATION_RUNNING, kStationNeutral},
             {texts_.STATION_SERIAL + " " + serial, kStationNeutral},
             {CountsText(), kStationNeutral}});
}

void StationWindow::ShowOutcome(const ReaderOutcome& outcome) {
  running_ = false;
  std::size_t i = 0;
  for (const int id : kStationOperatorButtons) {
    if (i < enabledBefore_.size()) surface_.Enable(id, enabledBefore_[i]);
    ++i;
  }
  if (hooks_.cycle) hooks_.cycle(false);
  const bool ok = outcome.result == StationResult::Ok;
  (ok ? ok_ : failed_) += 1;
  const Rgb colour = ok ? kStatusGreen : kStatusRed;
  std::vector<std::pair<std::string, Rgb>> lines = {
      {(ok ? texts_.STATION_OK : texts_.STATION_FAILED) + "  " + texts_.STATION_SERIAL + " " +
           (outcome.serialNumber.empty() ? "-" : outcome.serialNumber),
       colour}};
  if (outcome.result == StationResult::Failed) lines.push_back({outcome.error, colour});
  if (outcome.result == StationResult::Differs) {
    std::string settings;
    for (const SettingDifference& d : outcome.differences) {
      settings += (settings.empty() ? "" : ", ") + d.setting;
    }
    lines.push_back({texts_.STATION_DIFFERS + ": " + settings, colour});
  }
  lines.push_back({CountsText(), kStationNeutral});
  ShowPanel(lines);
  if (hooks_.shown) hooks_.shown(outcome);
}

}  // namespace uhf
