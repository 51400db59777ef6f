#pragma once
// Station mode in the window: readers plugged in one after another, each configured with one job
// through the window's operations, read back and judged, with no click. The driver's calls run on
// a worker thread; what the window shows is posted to the window's thread through the surface's
// own hook, so the window stays responsive however slow the reader is.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "station/StationCycle.h"
#include "ui/ControlSurface.h"

namespace uhf {

// Runs `task` on the window's thread, later; callable from any thread.
using PostToWindow = std::function<void(std::function<void()>)>;

// The window's command line: "--station [PROFILE]" (without PROFILE: the factory default) and
// "--engineering" (start in the engineering view).
struct WindowArguments {
  std::optional<StationTask> station;
  bool engineering = false;
};
// Nothing, with `error` set, for an argument the window does not take or a profile that cannot be
// read or parsed.
std::optional<WindowArguments> ParseWindowArguments(const std::vector<std::string>& arguments,
                                                    std::string& error);

// The panel's neutral colour, for waiting and a reader in progress.
inline constexpr Rgb kStationNeutral{96, 96, 96};

// The panel's font in station mode: a result, its cause and the counts fit in it together.
inline const FontSpec kStationPanelFont{"宋体", 24};

// The operator buttons, disabled while a cycle runs.
inline constexpr int kStationOperatorButtons[] = {
    idc::Connect,     idc::Disconnect, idc::FactoryDefault, idc::ReadTag,
    idc::SaveChanges, idc::ReadConfig, idc::SetAddress,     idc::GetAddress};

class StationWindow {
 public:
  struct Hooks {
    PostToWindow post;  // required
    // Between two polls, on the worker thread; by default waits `poll` or until Finish().
    std::function<void(std::chrono::milliseconds)> pause;
    std::function<std::chrono::steady_clock::time_point()> now;  // default: steady_clock
    std::function<std::string()> time;                           // default: local time
    // After a reader's result is shown, on the window's thread.
    std::function<void(const ReaderOutcome&)> shown;
    // Where the window's notifications go, behind the station's gate; default: the dialog.
    std::function<void(int, Notification)> command;
    // On the window's thread as a cycle starts (true, buttons just held off) and ends (false,
    // buttons just given back).
    std::function<void(bool)> cycle;
  };

  // Takes over the dialog's notifications: an operator's click waits for the poll in progress,
  // so that two operations never share the link. Shows the waiting text; Start() begins polling.
  StationWindow(ReaderConfigDialog& dialog, ControlSurface& surface, StationTask task,
                std::chrono::milliseconds poll, Hooks hooks);
  // Finishes the reader in progress first.
  ~StationWindow();
  StationWindow(const StationWindow&) = delete;
  StationWindow& operator=(const StationWindow&) = delete;

  void Start();
  // Asks the worker to stop once the reader in progress is done (never between two writes) and
  // waits for it. Results it posts afterwards are dropped.
  void Finish();
  // Asks the worker to stop after the reader in progress and returns at once; `finished` then
  // runs on the window's thread. While a cycle runs the panel says so.
  void FinishThen(std::function<void()> finished);

  // On the window's thread.
  int OkCount() const { return ok_; }
  int FailedCount() const { return failed_; }
  bool CycleRunning() const { return running_; }

 private:
  void Work();
  void Pause();
  void Post(std::function<void()> task);
  // On the window's thread.
  void ShowWaiting();
  void ShowRunning(const std::string& serial);
  void ShowOutcome(const ReaderOutcome& outcome);
  void ShowPanel(std::vector<std::pair<std::string, Rgb>> lines);
  std::string CountsText() const;

  ReaderConfigDialog& dialog_;
  ControlSurface& surface_;
  const InterfaceText texts_;
  std::chrono::milliseconds poll_;
  Hooks hooks_;
  StationCycle cycle_;
  // Held for each poll and each reader's cycle, and by an operator's click.
  std::recursive_mutex driverGate_;
  std::mutex stopMutex_;
  std::condition_variable stopChanged_;
  bool stop_ = false;
  std::thread worker_;
  // The window's thread only.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::vector<bool> enabledBefore_;
  bool running_ = false;
  bool waitingShown_ = false;
  int ok_ = 0;
  int failed_ = 0;
  std::function<void()> finished_;
};

// Station mode on a window's surface: results posted through the surface's own hook (unless
// `hooks.post` is given), and a close that first finishes the reader in progress, then calls
// `endDialog`. Polling starts at once.
template <typename Surface>
std::unique_ptr<StationWindow> StartStationWindow(Surface& surface, ReaderConfigDialog& dialog,
                                                  StationTask task, std::chrono::milliseconds poll,
                                                  StationWindow::Hooks hooks,
                                                  std::function<void()> endDialog) {
  if (!hooks.post) {
    hooks.post = [&surface](std::function<void()> work) {
      surface.PostToWindowThread(std::move(work));
    };
  }
  auto station =
      std::make_unique<StationWindow>(dialog, surface, std::move(task), poll, std::move(hooks));
  surface.SetCloseHandler(
      [station = station.get(), closing = false, endDialog = std::move(endDialog)]() mutable {
        if (!closing) {
          closing = true;
          station->FinishThen(endDialog);
        }
        return false;
      });
  station->Start();
  return station;
}

}  // namespace uhf
