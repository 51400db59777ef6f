#pragma once
// The engineering view's own actions: the tag list as an inventory (figures, Clear, Export CSV,
// continuous reading with Start/Stop), the Wiegand frame of the selected row, and the exchange
// log pane with Copy and Save. The dialog's handlers stay as they are; the panel runs after them
// for every notification and keeps its figures and the pane up to date.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialog/DialogContext.h"
#include "driver/ExchangeLogLines.h"
#include "tags/ContinuousReads.h"
#include "tags/TagReads.h"
#include "ui/ControlSurface.h"

namespace uhf {

class EngineeringPanel {
 public:
  // Texts of the Start/Stop toggle.
  static constexpr const char* kStartText = "Start";
  static constexpr const char* kStopText = "Stop";
  // The pane keeps as many lines as the log does.
  static constexpr int kPaneLines = static_cast<int>(ExchangeLogLines::kDefaultCapacity);
  // While reading, the pane takes the new lines at most this often. An update of a full pane costs
  // about as much for one line as for a few hundred (the Win32 edit goes over all its lines), so
  // one with every batch of reads could keep the window's thread busy.
  static constexpr std::chrono::milliseconds kPaneInterval{250};

  // `log` is fed by the driver the dialog calls. Adds the seen columns to the tag list.
  EngineeringPanel(DialogContext& ctx, TagReads& reads, ExchangeLogLines& log);
  // Stops reading first.
  ~EngineeringPanel();
  EngineeringPanel(const EngineeringPanel&) = delete;
  EngineeringPanel& operator=(const EngineeringPanel&) = delete;

  // After the dialog has handled a notification.
  void OnCommand(int id, Notification notification);

  // Continuous reading. Start takes the tag interval and the read way last used (Read Tag until
  // another read button is pressed); while it runs, the buttons that call the reader are off.
  void StartReading();
  void StopReading();
  bool Reading() const { return continuous_.Running(); }
  // From now on Start only shows `reason` (another worker owns the link).
  void RefuseReading(std::string reason) { refusal_ = std::move(reason); }

  void OnClear();
  void OnExportCsv();
  void OnCopyLog();
  void OnSaveLog();

 private:
  void ShowFigures();
  void ShowSelectedFrame();
  void ShowNewLogLines();
  void ShowError(std::string_view what, std::string_view error);

  DialogContext& ctx_;
  TagReads& reads_;
  ExchangeLogLines& log_;
  ContinuousReads continuous_;
  ReadWay lastWay_ = ReadWay::ReadTag;
  std::uint64_t logShown_ = 0;
  std::chrono::steady_clock::time_point paneShown_;  // while reading: the last pane update
  // While reading: the reader's buttons and whether each was enabled before.
  std::vector<std::pair<int, bool>> lockedButtons_;
  std::string refusal_;
};

}  // namespace uhf
