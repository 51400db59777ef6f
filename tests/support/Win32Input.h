#pragma once
// Acting on Win32 controls as an operator would, for tests of the Win32 window: clicks delivered
// to the window the system's hit test finds (disabled and hidden controls are passed over, as for
// a real mouse), characters typed as WM_CHAR, and message boxes answered by a timer that runs
// inside the box's own message loop.
#include "ui/win32/WindowsApi.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ControlSurface.h"

namespace uhf::test {

// Dispatches every message waiting for this thread, through the dialog's keyboard handling.
void PumpMessages(HWND dialog);

void ClickControl(HWND dialog, HWND control);
// A click on row `row` of a list view (on its first cell's text).
void ClickListRow(HWND dialog, HWND list, int row);
void DoubleClickControl(HWND dialog, HWND control);
// Replaces the whole text of an edit by typing `text` (UTF-8) character by character.
void TypeInto(HWND dialog, HWND edit, std::string_view text);

bool WholeTextSelected(HWND edit);
// Colour of the character at `index` (in characters of `text`, the control's text); nothing for
// the default colour.
std::optional<Rgb> RichCharacterColour(HWND rich, const std::string& text, int index);

// The clipboard's Unicode text, CR LF turned into line feeds; empty when it holds none.
std::string ClipboardText();

// A save-file dialog owned by `owner`: a window of the dialog class with a file name box.
bool IsSaveFileDialog(HWND window);

// The save-file dialog `owner` (a window of any process) shows; nullptr when it shows none.
HWND FindSaveFileDialog(HWND owner);
// Types `path` into the dialog's file name box and presses OK; presses Cancel for nothing.
void AnswerSaveFileDialog(HWND dialog, const std::optional<std::wstring>& path);

// While alive, answers every save-file dialog this thread opens with the next queued answer: the
// path typed into its file name box and OK pressed, or Cancel pressed (also when none is queued).
class SaveFileAnswerer {
 public:
  SaveFileAnswerer();
  ~SaveFileAnswerer();
  SaveFileAnswerer(const SaveFileAnswerer&) = delete;
  SaveFileAnswerer& operator=(const SaveFileAnswerer&) = delete;

  void Queue(std::optional<std::wstring> answer) { answers_.push_back(std::move(answer)); }
  // Titles of the dialogs answered, in order.
  const std::vector<std::string>& Seen() const { return seen_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void AnswerOpenDialog();

  UINT_PTR timer_ = 0;
  std::deque<std::optional<std::wstring>> answers_;
  std::vector<HWND> answered_;
  std::vector<std::string> seen_;
};

struct SeenBox {
  std::string text;
  std::string caption;
  bool okCancel = false;
  bool icon = false;
};

// While alive, answers every message box this thread opens (save-file dialogs excepted): OK, or the
// next queued answer for a box with OK and Cancel.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(HWND owner);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  void Queue(MessageResult answer) { answers_.push_back(answer); }
  const std::vector<SeenBox>& Seen() const { return seen_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void AnswerOpenBox();

  HWND owner_;
  UINT_PTR timer_ = 0;
  std::deque<MessageResult> answers_;
  std::vector<SeenBox> seen_;
};

}  // namespace uhf::test
