#include <windows.h>

#include <io.h>

#include <atomic>
#include <cstdio>

#include "cli/StopRequest.h"

namespace uhf::cli {

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<bool> finished{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  stopRequested = true;
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    // The process ends when this returns: the reader in progress gets its few seconds.
    for (int i = 0; i < 45 && !finished; ++i) Sleep(100);
  }
  return TRUE;
}

}  // namespace

void CatchStopRequests() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool StopRequested() {
  return stopRequested;
}

void StopFinished() {
  finished = true;
}

bool ErrorsGoToTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace uhf::cli
