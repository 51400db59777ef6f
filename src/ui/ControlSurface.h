#pragma once
// What the dialog's handlers need of its controls, whatever toolkit provides them. The Qt and
// Win32 windows and the in-memory surface implement it; handler code runs unchanged on each.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/DialogTemplate.h"

namespace uhf {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct FontSpec {
  std::string face;
  int points = 0;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class Notification { Clicked, EditChanged, DoubleClicked, SelectionChanged };
enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Exclamation };
enum class MessageResult { Ok, Cancel };

// Extended styles of the list view.
enum ListStyle : std::uint32_t {
  kListGridLines = 0x1,
  kListFullRowSelect = 0x20,
};

class ControlSurface {
 public:
  using NotificationHandler = std::function<void(int id, Notification)>;

  virtual ~ControlSurface() = default;

  // Any control
  virtual void SetText(int id, std::string_view text) = 0;  // an edit notifies EditChanged
  virtual std::string GetText(int id) const = 0;
  virtual void SetCheck(int id, int state) = 0;  // 1 checked, 0 clear; never notifies
  virtual int GetCheck(int id) const = 0;
  virtual void Enable(int id, bool enabled) = 0;
  virtual bool IsEnabled(int id) const = 0;
  virtual bool IsVisible(int id) const = 0;
  virtual void SetFont(int id, const FontSpec& font) = 0;
  virtual void SetFocus(int id) = 0;
  virtual int FocusedControl() const = 0;  // kNoId when no control has the focus

  // Edits
  virtual void LimitText(int id, int maxChars) = 0;
  virtual void SelectAllText(int id) = 0;

  // Drop-down lists. A selection index of -1 means no selection.
  virtual void ComboReset(int id) = 0;
  virtual int ComboAdd(int id, std::string_view text) = 0;  // index of the new item
  virtual void ComboSetSel(int id, int index) = 0;          // out of range clears the selection
  virtual int ComboGetSel(int id) const = 0;
  virtual int ComboCount(int id) const = 0;
  virtual std::string ComboItem(int id, int index) const = 0;  // empty when out of range

  // List view (report view)
  virtual void ListInsertColumn(int id, int column, std::string_view heading, int widthPx) = 0;
  virtual int ListColumnCount(int id) const = 0;
  virtual std::string ListColumnHeading(int id, int column) const = 0;
  virtual int ListColumnWidth(int id, int column) const = 0;
  virtual int ListInsertItem(int id, int row, std::string_view text) = 0;  // index of new row
  virtual void ListSetItemText(int id, int row, int column, std::string_view text) = 0;
  // Reads a cell into a buffer of `bufferSize` bytes, the way a dialog list view does: at most
  // bufferSize - 1 bytes come back, never splitting a UTF-8 character.
  virtual std::string ListGetItemText(int id, int row, int column,
                                      std::size_t bufferSize) const = 0;
  virtual int ListCount(int id) const = 0;
  virtual void ListDeleteAll(int id) = 0;
  virtual void ListAddExtendedStyle(int id, std::uint32_t bits) = 0;
  virtual std::uint32_t ListExtendedStyle(int id) const = 0;
  // The selected row, -1 when none (rows are selected one at a time). The operator's selecting
  // a row notifies SelectionChanged; deleting every row leaves none selected.
  virtual int ListGetSelection(int id) const = 0;

  // IP address control. GetAddress returns the number of fields that are not blank.
  virtual int IpGetAddress(int id, std::array<std::uint8_t, 4>& fields) const = 0;
  virtual void IpSetAddress(int id, std::string_view dotted) = 0;  // empty text blanks it

  // Rich edit: colour characters [start, end) of its text. SetText resets the colouring.
  virtual void RichSetColor(int id, int start, int end, Rgb colour) = 0;
  // A log pane (a rich edit styled kStyleLog): appends `lines` (each ended by a line feed) at the
  // end and shows the end; the oldest lines beyond `maxLines` go. Never notifies.
  virtual void AppendLines(int id, std::string_view lines, int maxLines) = 0;

  // Puts Unicode text on the system clipboard (line feeds become the platform's line ends).
  // False when the clipboard cannot be had.
  virtual bool CopyToClipboard(std::string_view text) = 0;

  // The platform's modal save-file dialog, starting at `fileName` (a bare name), offering files of
  // one type ("CSV files", "csv"); asks before replacing a file. The chosen path, its extension
  // added when the user typed none; nothing when the user cancels.
  virtual std::optional<std::filesystem::path> AskSaveFileName(std::string_view title,
                                                               std::string_view fileName,
                                                               std::string_view typeName,
                                                               std::string_view extension) = 0;

  // Runs `task` on the window's thread, later, in the order posted; callable from any thread
  // while the surface lives.
  virtual void PostToWindowThread(std::function<void()> task) = 0;

  // Message box, modal. Returns Ok for a box with only an OK button.
  virtual MessageResult MessageBox(std::string_view text, std::string_view caption,
                                   MessageButtons buttons, MessageIcon icon) = 0;

  // Filling a control whose contents the window's first frame can do without. `fill` runs once,
  // on the window's thread: after the first frame, or before anything reads or changes control
  // `id` through the surface if that comes first (its enabled and visible states excepted, which
  // no fill provides). A surface that draws no frames runs it at once.
  virtual void FillAfterFirstFrame(int /*id*/, std::function<void()> fill) { fill(); }

  // The same for a value that may take long to find (a network lookup): `find` runs on a worker
  // thread after the first frame and must not touch the surface; `fill` puts what it found into
  // control `id` on the window's thread. Reading or changing `id` through the surface before then
  // (its enabled and visible states excepted) waits for `find`. A surface that draws no frames
  // runs both at once.
  virtual void FillInBackground(int /*id*/, std::function<std::string()> find,
                                std::function<void(const std::string&)> fill) {
    fill(find());
  }

  // Views: the same controls arranged by `layout`, a template holding the controls the surface
  // was built from (MatchLayout). Each control takes the layout's rectangle and visibility, the
  // tab order follows the layout's order and the window takes its size, staying on its monitor.
  // Texts, checks, selections, list rows and enabled states stay as they are; a control without
  // an id, whose state nothing else can set, takes the layout's enabled state.
  virtual void ApplyLayout(const DialogTemplate& layout) = 0;

  // A command of the window itself, run by Ctrl+`key` (an upper-case letter) and by an entry
  // `text` in the window's own menu (its system menu; its context menu where the platform gives
  // the program no system menu). The entry shows a check mark when CheckWindowCommand says so.
  virtual void AddWindowCommand(std::string_view text, char key, std::function<void()> run) = 0;
  virtual void CheckWindowCommand(char key, bool checked) = 0;

  // Notifications from controls go to one handler, unless a data exchange holds them back.
  void SetNotificationHandler(NotificationHandler handler) { handler_ = std::move(handler); }
  bool NotificationsHeld() const { return holdCount_ > 0; }

  // While alive, control notifications are dropped (DataExchange holds them during an exchange,
  // so writing a control from the exchange never runs its handler).
  class NotificationHold {
   public:
    explicit NotificationHold(ControlSurface& surface) : surface_(surface) {
      ++surface_.holdCount_;
    }
    ~NotificationHold() { --surface_.holdCount_; }
    NotificationHold(const NotificationHold&) = delete;
    NotificationHold& operator=(const NotificationHold&) = delete;

   private:
    ControlSurface& surface_;
  };

 protected:
  // Concrete surfaces call this when a control reports an event.
  void Notify(int id, Notification notification) {
    if (holdCount_ == 0 && handler_) handler_(id, notification);
  }

 private:
  NotificationHandler handler_;
  int holdCount_ = 0;
};

}  // namespace uhf
