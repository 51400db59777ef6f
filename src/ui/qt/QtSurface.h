#pragma once
// The real window: Qt widgets built from the dialog template, all direct children of one dialog,
// placed by converting dialog units with the dialog font's base units. Implements every
// ControlSurface operation on those widgets and turns their user events into notifications.
// Sources: QtSurface.cpp (the operations), QtSurfaceWidgets.cpp (the widget factory),
// QtSurfaceDeferred.cpp (the first frame and the work deferred until after it).

#include <QBrush>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/ControlSurface.h"
#include "ui/DialogTemplate.h"
#include "ui/RadioGroups.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/DialogUnits.h"

class QAbstractButton;
class QAction;
class QDialog;
class QStyle;
class QPushButton;
class QWidget;

namespace uhf {

class SurfaceDialog;

class QtSurface : public ControlSurface {
 public:
  // Returns the button to use for a push button id, or nullptr for a plain QPushButton. Kept for
  // the surface's life: hidden buttons are built after the first frame or when first used.
  using ButtonFactory = std::function<QPushButton*(int id, QWidget* parent)>;
  using MessageBoxHook = std::function<MessageResult(
      std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon icon)>;

  explicit QtSurface(const DialogTemplate& dialog, ButtonFactory makeButton = {});
  ~QtSurface() override;
  QtSurface(const QtSurface&) = delete;
  QtSurface& operator=(const QtSurface&) = delete;

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
  // Follows the end after every append: the pane shows the newest lines.
  void AppendLines(int id, std::string_view lines, int maxLines) override;
  bool CopyToClipboard(std::string_view text) override;
  // A non-native file dialog, modal to the window.
  std::optional<std::filesystem::path> AskSaveFileName(std::string_view title,
                                                       std::string_view fileName,
                                                       std::string_view typeName,
                                                       std::string_view extension) override;
  void PostToWindowThread(std::function<void()> task) override;

  MessageResult MessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                           MessageIcon icon) override;

  // Deferred until the window's first frame has been painted and flushed (or the control is
  // used through the surface). A window never shown fills on use only.
  void FillAfterFirstFrame(int id, std::function<void()> fill) override;
  void FillInBackground(int id, std::function<std::string()> find,
                        std::function<void(const std::string&)> fill) override;

  // When set, message boxes go to the hook and no real box is shown.
  void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }
  // Enter (the dialog's accept command) ends the dialog only when this returns true.
  void SetAcceptHandler(std::function<bool()> handler);
  // Escape or the close box ends the dialog only when this returns true.
  void SetCloseHandler(std::function<bool()> handler);
  void ApplyLayout(const DialogTemplate& layout) override;
  void AddWindowCommand(std::string_view text, char key, std::function<void()> run) override;
  void CheckWindowCommand(char key, bool checked) override;

  QDialog* Window() const;
  QWidget* Widget(int id) const;  // nullptr for an unknown id

 private:
  struct Control;
  struct Deferred;
  struct BackgroundResult;
  struct Mailbox;

  Control& At(int id);
  const Control& At(int id) const;
  // The control, leaving what is deferred for it (a fill, a lookup) to run later: for its
  // enabled and visible states, which no fill provides.
  const Control& Find(int id) const;
  void Build(const DialogTemplate& dialog, const ButtonFactory& makeButton);
  QWidget* Create(std::size_t index, const ControlTemplate& tpl, const ButtonFactory& makeButton);
  void Place(QWidget* widget, QRect geometry);  // a drop-down list's height is its open list's
  void BuildAllDeferred();
  QWidget* BuildWidget(Control& control, const ControlTemplate& tpl,
                       const ButtonFactory& makeButton);
  void BuildDeferred(int id);
  Control* Unbuilt(int id);  // the control when its widget is not built yet, else nullptr
  // The unbuilt control when what was written to it is all it will show (no other work is
  // deferred for it), else nullptr: reads answer from that without building the widget.
  const Control* UnbuiltAsWritten(int id) const;
  static std::string WrittenText(const Control& control);  // GetText of an unbuilt control
  static void ApplyListStyle(Control& control);
  static void ShowAddress(const Control& control, std::string_view dotted);
  void ReportClicks(QAbstractButton* button, int id);  // a click on it is a click on `id`
  void OnUserClick(int id);
  void OnFirstFrame();
  void StartBackground(Deferred& deferred);
  void CompleteBackground(const std::shared_ptr<BackgroundResult>& result);
  // Runs what is still deferred for control `id` before it is used.
  void ResolveDeferred(int id);

  QStyle* GroupStyle();

  std::unique_ptr<QStyle> groupStyle_;  // outlives the dialog's group boxes
  std::unique_ptr<SurfaceDialog> dialog_;
  std::map<int, std::unique_ptr<Control>> controls_;
  DialogTemplate built_;               // what the window was built from, to match layouts against
  std::vector<QWidget*> unnamed_;      // widgets of the controls without id, by template index
  std::map<char, QAction*> commands_;  // window commands by key
  RadioGroups radios_;
  ButtonFactory makeButton_;  // for the controls built after the first frame
  QBrush pushButtonBrush_;
  DialogBaseUnits baseUnits_;
  MessageBoxHook messageBoxHook_;
  std::vector<Deferred> deferred_;  // in the order they were asked for
  bool firstFramePassed_ = false;
  int building_ = kNoId;              // the control BuildDeferred is building
  std::shared_ptr<Mailbox> mailbox_;  // how background work reaches the window's thread
};

}  // namespace uhf
