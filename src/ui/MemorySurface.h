#pragma once
// Controls held in memory: the surface for tests and headless use. Built from a dialog template;
// besides the ControlSurface operations it offers what a test needs to act as the operator
// (click, type, answer message boxes) and to look at the result (messages shown, colours).

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/ControlSurface.h"
#include "ui/DialogTemplate.h"
#include "ui/RadioGroups.h"

namespace uhf {

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
};

struct ColourRange {
  int start;
  int end;
  Rgb colour;
};

class MemorySurface : public ControlSurface {
 public:
  explicit MemorySurface(const DialogTemplate& dialog);

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

  MessageResult MessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                           MessageIcon icon) override;

  void ApplyLayout(const DialogTemplate& layout) override;
  void AddWindowCommand(std::string_view text, char key, std::function<void()> run) override;
  void CheckWindowCommand(char key, bool checked) override;

  // --- acting as the operator ---
  // A mouse click. A disabled control ignores it; otherwise a radio becomes the checked one of
  // its group, a check box toggles, then Clicked is notified.
  void Click(int id);
  void DoubleClick(int id);  // a disabled control ignores it too
  // Typing replaces the text of an edit, within its text limit, and notifies EditChanged.
  void Type(int id, std::string_view text);
  // Ctrl+`key`: runs the window command of that key, if there is one.
  void PressCtrl(char key);
  // Selects a row of a list view as a click on it does, and notifies SelectionChanged.
  void SelectRow(int id, int row);
  // The path the next save-file dialog gives, or nothing for Cancel; Cancel when none is queued.
  void QueueSaveFileAnswer(std::optional<std::filesystem::path> answer) {
    saveAnswers_.push_back(std::move(answer));
  }
  // Runs the tasks posted so far, and those they post; the number run.
  int RunPostedTasks();
  // Answers for the next message boxes with OK/Cancel; OK when none is queued.
  void QueueMessageAnswer(MessageResult answer) { answers_.push_back(answer); }

  // --- looking at the result ---
  const std::vector<ShownMessage>& Messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  const std::vector<ColourRange>& Colours(int id) const;     // as set, in order
  std::optional<Rgb> ColourAt(int id, int character) const;  // nothing: default colour
  std::optional<FontSpec> Font(int id) const;
  int TextLimit(int id) const;           // 0 when no limit was set
  bool WholeTextSelected(int id) const;  // SelectAllText was the last change of the selection
  DialogRect Rect(int id) const;         // in dialog units, as the current layout places it
  int ClientWidthDu() const { return widthDu_; }
  int ClientHeightDu() const { return heightDu_; }
  // The window command of `key`: its menu text and check mark; nothing when there is none.
  struct WindowCommand {
    std::string text;
    bool checked = false;
    std::function<void()> run;
  };
  const WindowCommand* FindWindowCommand(char key) const;
  const std::string& Clipboard() const { return clipboard_; }
  // Titles of the save-file dialogs shown, in order.
  const std::vector<std::string>& SaveDialogs() const { return saveDialogs_; }

 private:
  struct Control {
    ControlKind kind = ControlKind::Static;
    std::string text;
    int check = 0;
    bool enabled = true;
    bool visible = true;
    DialogRect rect;
    std::optional<FontSpec> font;
    int limit = 0;
    bool selectedAll = false;
    // drop-down list
    std::vector<std::string> items;
    int selection = -1;
    // list view
    struct Column {
      std::string heading;
      int width;
    };
    std::vector<Column> columns;
    std::vector<std::vector<std::string>> rows;
    std::uint32_t extendedStyle = 0;
    int selectedRow = -1;
    // IP address: blank fields are empty
    std::array<std::optional<std::uint8_t>, 4> address;
    // rich edit
    std::vector<ColourRange> colours;
  };

  Control& At(int id);
  const Control& At(int id) const;

  std::map<int, Control> controls_;
  DialogTemplate built_;  // what the surface was built from, to match layouts against
  int widthDu_ = 0;
  int heightDu_ = 0;
  std::map<char, WindowCommand> commands_;
  RadioGroups radios_;
  int focus_ = -1;
  std::vector<ShownMessage> messages_;
  std::deque<MessageResult> answers_;
  std::string clipboard_;
  std::deque<std::optional<std::filesystem::path>> saveAnswers_;
  std::vector<std::string> saveDialogs_;
  // Filled from any thread; a copy of the surface copies the queue.
  struct PostedTasks {
    PostedTasks() = default;
    PostedTasks(const PostedTasks& other) : tasks(other.Copy()) {}
    PostedTasks& operator=(const PostedTasks& other) {
      if (this != &other) {
        auto copied = other.Copy();
        std::lock_guard<std::mutex> lock(mutex);
        tasks = std::move(copied);
      }
      return *this;
    }
    std::deque<std::function<void()>> Copy() const {
      std::lock_guard<std::mutex> lock(mutex);
      return tasks;
    }
    mutable std::mutex mutex;
    std::deque<std::function<void()>> tasks;
  };
  PostedTasks posted_;
};

}  // namespace uhf
