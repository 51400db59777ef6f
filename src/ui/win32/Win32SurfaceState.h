#pragma once
// The records behind Win32Surface, shared by its source files.

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ui/ControlSurface.h"
#include "ui/WrittenControl.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {

struct Win32Surface::ControlState {
  ControlKind kind = ControlKind::Static;
  int id = 0;
  HWND hwnd = nullptr;
  std::size_t index = 0;  // its place in the template the window was built from
  // A control hidden when the window opens is made after the first frame or when first used;
  // until then, what was written to it (null once it is made).
  std::unique_ptr<WrittenControl> written;
  std::uint32_t writtenListStyle = 0;
  std::string text;  // caption last set (everything but edits, lists and IP controls)
  // A rich edit styled as a log pane, shown as a list of its lines (`rows`, one cell each) that
  // draws only the lines in view: an edit control takes time in proportion to its whole text for
  // every change, far too long for a pane of 10,000 lines updated while reading.
  bool log = false;
  // A list view holds no text of its own (owner data): it asks for the cells it draws. Inserting,
  // changing and reading a row then cost the same in a list of ten thousand rows as in one of ten.
  std::vector<std::vector<std::wstring>> rows;
  // Hover buttons
  bool hoverButton = false;
  bool hovering = false;
  bool tracking = false;
  WNDPROC originalProc = nullptr;
};

// What a fill's worker found, handed to the window's thread.
struct Win32Surface::Found {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::string value;
};

constexpr COLORREF ColourRef(Rgb colour) {
  return RGB(colour.r, colour.g, colour.b);
}

inline std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

}  // namespace uhf
