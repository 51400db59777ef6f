#include <unistd.h>

#include <csignal>

#include "cli/StopRequest.h"

namespace uhf::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) {
  stopRequested = 1;
}

}  // namespace

void CatchStopRequests() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // A lock or write the reader in progress is waiting on goes on rather than failing.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
  return stopRequested != 0;
}

void StopFinished() {}

bool ErrorsGoToTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

}  // namespace uhf::cli
