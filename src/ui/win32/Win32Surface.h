#pragma once
// The window on plain Win32: a dialog created from the dialog template (an in-memory dialog
// template in dialog units, with the template's ids and styles), real common controls, the wide
// character API throughout. Implements every ControlSurface operation on those controls and turns
// their notifications into handler calls. Chosen push buttons are owner-drawn hover buttons.

#include "ui/win32/WindowsApi.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "text/WideText.h"
#include "ui/ControlSurface.h"
#include "ui/DialogTemplate.h"
#include "ui/RadioGroups.h"

namespace uhf {

class Win32Surface : public ControlSurface {
 public:
  using MessageBoxHook = std::function<MessageResult(
      std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon icon)>;

  // `hoverButtons`: the push buttons drawn as hover buttons (flat green face, centred caption,
  // orange border while the mouse rests on them).
  explicit Win32Surface(const DialogTemplate& dialog, const std::set<int>& hoverButtons = {});
  // Built already arranged by `firstLayout` (see ApplyLayout), as a window that opens in another
  // view than its template's: each control is made once, in its place.
  Win32Surface(const DialogTemplate& dialog, const std::set<int>& hoverButtons,
               const DialogTemplate& firstLayout);
  ~Win32Surface() override;
  Win32Surface(const Win32Surface&) = delete;
  Win32Surface& operator=(const Win32Surface&) = delete;

  void SetText(int id, std::string_view text) override;
  std::string GetText(int id) const override;
  void SetCheck(int id, int state) override;
  int GetCheck(int id) const override;
  void Enable(int id, bool enabled) override;
  bool IsEnabled(int id) const override;
  bool IsVisible(int id) const override;
  void SetFont(int id, const FontSpec& font) override;
  void SetFocus(int id) override;
  int FocusedControl() const override;
  void LimitText(int id, int maxChars) override;
  void SelectAllText(int id) override;

  void ComboReset(int id) override;
  int ComboAdd(int id, std::string_view text) override;
  void ComboSetSel(int id, int index) override;
  int ComboGetSel(int id) const override;
  int ComboCount(int id) const override;
  std::string ComboItem(int id, int index) const override;

  void ListInsertColumn(int id, int column, std::string_view heading, int widthPx) override;
  int ListColumnCount(int id) const override;
  std::string ListColumnHeading(int id, int column) const override;
  int ListColumnWidth(int id, int column) const override;
  int ListInsertItem(int id, int row, std::string_view text) override;
  void ListSetItemText(int id, int row, int column, std::string_view text) override;
  std::string ListGetItemText(int id, int row, int column, std::size_t bufferSize) const override;
  int ListCount(int id) const override;
  void ListDeleteAll(int id) override;
  void ListAddExtendedStyle(int id, std::uint32_t bits) override;
  std::uint32_t ListExtendedStyle(int id) const override;
  int ListGetSelection(int id) const override;

  int IpGetAddress(int id, std::array<std::uint8_t, 4>& fields) const override;
  void IpSetAddress(int id, std::string_view dotted) override;

  void RichSetColor(int id, int start, int end, Rgb colour) override;
  void AppendLines(int id, std::string_view lines, int maxLines) override;

  bool CopyToClipboard(std::string_view text) override;
  std::optional<std::filesystem::path> AskSaveFileName(std::string_view title,
                                                       std::string_view fileName,
                                                       std::string_view typeName,
                                                       std::string_view extension) override;
  void PostToWindowThread(std::function<void()> task) override;
  void FillAfterFirstFrame(int id, std::function<void()> fill) override;
  void FillInBackground(int id, std::function<std::string()> find,
                        std::function<void(const std::string&)> fill) override;

  MessageResult MessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                           MessageIcon icon) override;

  void ApplyLayout(const DialogTemplate& layout) override;
  void AddWindowCommand(std::string_view text, char key, std::function<void()> run) override;
  void CheckWindowCommand(char key, bool checked) override;
  // Runs the window command of a Ctrl+letter key press in `msg`; false for any other message.
  bool RunCommandKey(const MSG& msg);

  // When set, message boxes go to the hook and no real box is shown.
  void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }
  // Enter (the dialog's accept command) ends the dialog only when this returns true.
  void SetAcceptHandler(std::function<bool()> handler) { acceptHandler_ = std::move(handler); }
  // Escape or the close box ends the dialog only when this returns true.
  void SetCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }
  // Ends the dialog as a close would, asking no handler.
  void EndDialog();

  // Shows the window and runs its message loop until the dialog ends (Escape, close, or an
  // accepted Enter).
  void RunModal();
  HWND Window() const { return dialog_; }
  HWND Control(int id) const;  // made first when it was not yet; nullptr for an unknown id

  // What tests look at: the colour of one character of a rich edit, and a hover button's state.
  Rgb RichColorAt(int id, int character) const;
  bool IsHovering(int id) const;

  // A length given in pixels at 96 dots per inch (fonts, pens, list columns), in pixels of the
  // window: scaled to the window's dots per inch, and shrunk with the window when it had to be
  // made smaller to fit its monitor.
  int Scaled(int pixelsAt96) const;
  // How much the window was shrunk to fit its monitor (1 when it fits as the system scaled it).
  double FitFactor() const { return fit_; }

 private:
  struct ControlState;
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HoverButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data);
  void RepaintPanelUnder(HWND label);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnUserClick(int id);
  bool OverRichEdit(HWND label) const;
  void DrawHoverButton(const DRAWITEMSTRUCT& item);
  void ApplyFont(int id);
  void ApplyFonts();
  void OnDpiChanged(int dpi);
  void FitToMonitor(bool centre);
  void ShrinkBy(double factor);
  void ScaleListColumns(double ratio);
  // Fills a list view's request for the text of a cell it draws.
  static void ShowListCell(const ControlState& control, LVITEMW& item);
  // The row a list view's search finds by its first cell, from `start` on, -1 when none.
  static int FindListRow(const ControlState& control, int start, const LVFINDINFOW& find);
  // Redraws the rows from `first` to `last` that are in view.
  static void RedrawRowsInView(HWND list, int first, int last);
  // Shows a log pane's rows after a change: the rows from `newFrom` are new or changed, and
  // `shifted` when older rows were dropped.
  void ShowLogRows(ControlState& control, std::size_t newFrom, bool shifted);
  // Tells a list view its row count after rows were added or removed at `from`; the rows from
  // there on are drawn again and the selected row keeps its cells.
  void ListRowsMoved(ControlState& control, int from, int selected);
  // The control, its window made first when it was not yet.
  ControlState& At(int id);
  const ControlState& At(int id) const;
  // The control when its window is not made yet, else nullptr.
  ControlState* Unbuilt(int id) const;
  // The control as it stands, for its enabled and visible states: nothing pending is run.
  ControlState& Existing(int id) const;
  // Fills asked for before the first frame: one to run on the window's thread, or a value to
  // find on a worker (started after the first frame) and put into the control.
  struct Found;
  struct PendingFill {
    int id = kNoId;
    std::function<void()> fill;
    std::function<std::string()> find;
    std::function<void(const std::string&)> fillFound;
    std::shared_ptr<Found> found;  // once its worker runs
  };
  // Runs the pending fills `due` says are due, in the order they were asked for.
  void RunPendingFills(const std::function<bool(const PendingFill&)>& due);
  // Runs what is pending for control `id` before it is used, waiting for its worker if need be.
  void ResolveFills(int id);
  void RunFill(PendingFill& pending);
  void StartFinding(PendingFill& pending);
  // After the first frame: the fills, the workers, then the hidden controls.
  void OnFirstFrame();
  // Puts the values the workers found into their controls.
  void TakeFoundValues();
  // Makes the window of the control at template place `index`, where the arrangement puts it,
  // and gives it what was written to it; when a layout shows it, after the first frame (all that
  // are left) or on first use.
  HWND MakeControl(std::size_t index);
  void MakeAllControls();
  void SetUpControl(ControlState& control, const ControlTemplate& tpl);
  // A rectangle in dialog units in pixels of the window, as the dialog manager places controls
  // (shrunk with the window when it had to be made smaller to fit its monitor).
  RECT Pixels(const DialogRect& du) const;

  void RaiseLabelsOverPanel();
  void RefitIpControl(std::size_t index, int id, const RECT& rect);

  HWND dialog_ = nullptr;
  std::vector<PendingFill> pendingFills_;  // in the order they were asked for
  bool firstFramePassed_ = false;
  std::set<int> hoverButtons_;
  // The surface gives a control again what it showed (a control being made, one made again at
  // a new size): no notifications, and no pending fill is run for it.
  bool reapplying_ = false;
  std::map<int, std::unique_ptr<ControlState>> controls_;
  DialogTemplate built_;  // what the window was built from, to match layouts against
  // The arrangement in force: each control's place by template index, and the tab order.
  struct Placement {
    DialogRect rect;
    bool visible = false;
    bool enabled = true;  // the layout's, for a control without an id
    friend bool operator==(const Placement&, const Placement&) = default;
  };
  struct Arrangement {
    int widthDu = 0;
    int heightDu = 0;
    std::vector<std::size_t> order;    // template indexes in tab order
    std::vector<Placement> placement;  // by template index
    friend bool operator==(const Arrangement&, const Arrangement&) = default;
  };
  static Arrangement Arrange(const DialogTemplate& built, const DialogTemplate& layout);
  // The template entry of control `index` as the arrangement places it.
  ControlTemplate Placed(std::size_t index) const;
  Arrangement arranged_;
  std::vector<HWND> byIndex_;  // every control's window, by template index
  struct WindowCommand {
    UINT menuId;
    std::function<void()> run;
  };
  std::map<char, WindowCommand> commands_;
  RadioGroups radios_;
  std::map<int, FontSpec> fontSpecs_;  // fonts given to controls, as given
  std::map<int, HFONT> fonts_;         // and as made for the window's scale, released with it
  HFONT dialogFont_ = nullptr;         // the dialog's font shrunk with the window, when it was
  int dpi_ = 96;
  double fit_ = 1.0;
  HBRUSH pushButtonBrush_ = nullptr;
  HICON icon_ = nullptr;
  bool ended_ = false;
  bool quietSelection_ = false;  // the surface moves a selection: not the operator's doing
  std::function<bool()> closeHandler_;
  std::mutex postedMutex_;
  std::deque<std::function<void()>> posted_;
  MessageBoxHook messageBoxHook_;
  std::function<bool()> acceptHandler_;
};

}  // namespace uhf
