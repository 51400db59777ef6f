// A window command on the Win32 window: its entry at the end of the system menu, with its
// shortcut, checked as the surface says, and run when the entry is chosen.
#include <gtest/gtest.h>

#include <string>

#include "text/WideText.h"
#include "ui/contract/SurfaceContract.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

TEST(Win32WindowMenu, EntryRunsItsCommandAndShowsItsCheck) {
  Win32Surface surface(contract::ContractTemplate());
  int runs = 0;
  surface.AddWindowCommand("工程视图", 'E', [&runs] { ++runs; });
  HMENU menu = GetSystemMenu(surface.Window(), FALSE);
  const int last = GetMenuItemCount(menu) - 1;
  ASSERT_GT(last, 0);
  wchar_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(last), text, 64, MF_BYPOSITION);
  EXPECT_EQ(Narrow(text), "工程视图\tCtrl+E");
  const UINT command = GetMenuItemID(menu, last);
  for (const bool checked : {true, false}) {
    surface.CheckWindowCommand('E', checked);
    EXPECT_EQ((GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0, checked);
  }
  SendMessageW(surface.Window(), WM_SYSCOMMAND, command, 0);
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace uhf
