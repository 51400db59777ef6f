// What the Win32 window does beyond the shared contract for the engineering view's services:
// what the controls and the clipboard really hold, not what the surface remembers of them.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/Win32Input.h"
#include "text/WideText.h"
#include "ui/contract/SurfaceContract.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

using contract::kList;
using contract::kLog;

// The lines the pane draws, each ended by a line feed, as the control gives them for drawing.
std::string PaneText(HWND pane) {
  std::string text;
  const auto count = static_cast<int>(SendMessageW(pane, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::vector<wchar_t> buffer(1024, L'#');
    LVITEMW item{};
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    SendMessageW(pane, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    text += Narrow(item.pszText) + "\n";
  }
  return text;
}

std::string Line(int n) {
  // Chinese and a character outside the basic plane: positions in the control are UTF-16 units.
  return "第 " + std::to_string(n) + " 行 𠀀 EPC E2003412012345678901234" + "\n";
}

// The control keeps the last maxLines lines however the appends fall, and ends showing the last
// line, as wide as the longest.
TEST(Win32LogPane, ControlHoldsTheLastLines) {
  struct Case {
    const char* name;
    int total;
    int perCall;
    int maxLines;
    bool halves = false;  // each line in two appends, the first without its line feed
  };
  const Case cases[] = {
      {"fills without trimming", 600, 250, 10000},
      {"the window's rate: 250 a call into 10,000", 13000, 250, 10000},
      {"one call longer than the pane", 700, 700, 300},
      {"one line at a time", 40, 1, 7},
      {"lines in halves", 40, 1, 7, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Win32Surface surface(contract::ContractTemplate());
    int next = 0;
    while (next < c.total) {
      std::string chunk;
      for (int i = 0; i < c.perCall && next < c.total; ++i) chunk += Line(next++);
      if (c.halves) {
        const std::size_t half = chunk.find(" EPC");
        surface.AppendLines(kLog, chunk.substr(0, half), c.maxLines);
        chunk.erase(0, half);
      }
      surface.AppendLines(kLog, chunk, c.maxLines);
    }
    std::string all;
    for (int n = 0; n < c.total; ++n) all += Line(n);
    HWND pane = surface.Control(kLog);
    const std::string shown = PaneText(pane);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), std::min(c.total, c.maxLines));
    EXPECT_TRUE(shown.size() <= all.size() &&
                all.compare(all.size() - shown.size(), shown.size(), shown) == 0)
        << "first line shown: " << shown.substr(0, shown.find('\n'));
    EXPECT_EQ(surface.GetText(kLog), shown);
    const auto top = SendMessageW(pane, LVM_GETTOPINDEX, 0, 0);
    const auto perPage = SendMessageW(pane, LVM_GETCOUNTPERPAGE, 0, 0);
    const auto count = SendMessageW(pane, LVM_GETITEMCOUNT, 0, 0);
    EXPECT_GE(top + perPage, count);
    if (c.total > 20) {
      EXPECT_GT(top, 0);
    }
    const std::wstring longest = Widen(Line(c.total - 1).substr(0, Line(c.total - 1).size() - 1));
    EXPECT_GE(
        SendMessageW(pane, LVM_GETCOLUMNWIDTH, 0, 0),
        SendMessageW(pane, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(longest.c_str())));
  }
}

// A click selecting a row notifies once; clicking it again or a row losing the selection does
// not; while notifications are held the click selects without telling.
TEST(Win32ListSelection, NotifiesOncePerRowSelected) {
  Win32Surface surface(contract::ContractTemplate());
  std::vector<int> selections;
  surface.SetNotificationHandler([&](int id, Notification notification) {
    if (id == kList && notification == Notification::SelectionChanged) {
      selections.push_back(surface.ListGetSelection(kList));
    }
  });
  surface.ListInsertColumn(kList, 0, "No.", 60);
  for (int row = 0; row < 4; ++row) surface.ListInsertItem(kList, row, std::to_string(row + 1));
  HWND dialog = surface.Window();
  HWND list = surface.Control(kList);
  for (int row : {0, 0, 2}) test::ClickListRow(dialog, list, row);
  EXPECT_EQ(selections, (std::vector<int>{0, 2}));
  {
    ControlSurface::NotificationHold hold(surface);
    test::ClickListRow(dialog, list, 3);
  }
  EXPECT_EQ(surface.ListGetSelection(kList), 3);
  // A row inserted above the selected one takes the selection along with its row, quietly.
  surface.ListInsertItem(kList, 0, "0");
  EXPECT_EQ(surface.ListGetSelection(kList), 4);
  EXPECT_EQ(selections.size(), 2u);
}

// The list view holds no text: what it draws, and what its search finds, is asked of the surface,
// cell by cell, by each column's place, also after a column or a row was inserted in the middle.
TEST(Win32ListCells, TheControlShowsTheSurfacesCells) {
  Win32Surface surface(contract::ContractTemplate());
  surface.ListInsertColumn(kList, 0, "No.", 60);
  surface.ListInsertColumn(kList, 1, "Count", 60);
  for (int row = 0; row < 3; ++row) {
    surface.ListInsertItem(kList, row, std::to_string(row + 1));
    surface.ListSetItemText(kList, row, 1, std::to_string(10 * (row + 1)));
  }
  surface.ListInsertColumn(kList, 1, "卡号", 90);
  surface.ListSetItemText(kList, 2, 1, "卡 𠀀 " + std::string(300, '9'));
  surface.ListInsertItem(kList, 1, "new");
  const std::vector<std::vector<std::string>> expected = {
      {"1", "", "10"},
      {"new", "", ""},
      {"2", "", "20"},
      {"3", "卡 𠀀 " + std::string(300, '9'), "30"}};
  HWND list = surface.Control(kList);
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) {
      SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
      std::vector<wchar_t> buffer(1024, L'#');
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = buffer.data();
      item.cchTextMax = static_cast<int>(buffer.size());
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
      const std::string& cell =
          expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
      EXPECT_EQ(Narrow(item.pszText), cell);
      EXPECT_EQ(surface.ListGetItemText(kList, row, column, 1024), cell);
    }
  }
  // Typing in the list searches the first cells: from a row on, ignoring case, maybe wrapping.
  struct Search {
    int from;
    const wchar_t* text;
    UINT flags;
    int found;
  };
  for (const Search& c : {Search{-1, L"N", LVFI_PARTIAL, 1}, Search{2, L"1", LVFI_PARTIAL, -1},
                          Search{2, L"1", LVFI_PARTIAL | LVFI_WRAP, 0},
                          Search{0, L"2", LVFI_STRING, 2}, Search{0, L"n", LVFI_STRING, -1}}) {
    LVFINDINFOW find{};
    find.flags = c.flags;
    find.psz = c.text;
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(c.from),
                           reinterpret_cast<LPARAM>(&find)),
              c.found)
        << Narrow(c.text) << " from " << c.from;
  }
}

std::wstring RawClipboard() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data)); chars != nullptr) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Line feeds go on the clipboard as CR LF, and line ends that already are CR LF stay so.
TEST(Win32Clipboard, LineEndsBecomeCrLf) {
  Win32Surface surface(contract::ContractTemplate());
  const struct {
    const char* text;
    const wchar_t* clipboard;
  } cases[] = {
      {"读卡器\n2\n", L"读卡器\r\n2\r\n"},
      {"a\r\nb\n\nc", L"a\r\nb\r\n\r\nc"},
      {"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(surface.CopyToClipboard(c.text));
    EXPECT_EQ(RawClipboard(), c.clipboard);
  }
}

// While another program holds the clipboard open, the copy fails and says so.
TEST(Win32Clipboard, FailsWhileAnotherHoldsIt) {
  Win32Surface surface(contract::ContractTemplate());
  ASSERT_TRUE(surface.CopyToClipboard("before"));
  std::atomic<int> stage{0};
  std::thread holder([&stage] {
    const bool opened = OpenClipboard(nullptr) != FALSE;
    stage = opened ? 1 : -1;
    while (stage == 1) Sleep(1);
    if (opened) CloseClipboard();
  });
  while (stage == 0) Sleep(1);
  ASSERT_EQ(stage, 1);
  EXPECT_FALSE(surface.CopyToClipboard("after"));
  stage = 2;
  holder.join();
  EXPECT_EQ(RawClipboard(), L"before");
}

}  // namespace
}  // namespace uhf
