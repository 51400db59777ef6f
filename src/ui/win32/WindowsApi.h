#pragma once
// The Windows headers the Win32 window uses, without the platform's MessageBox macro, which would
// rename ControlSurface::MessageBox wherever both are seen. windows.h comes first.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#undef MessageBox
