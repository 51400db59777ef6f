#pragma once
// Ctrl+C, SIGTERM or the console closing as a request to stop that a loop polls: the station
// finishes the reader in progress before it looks.

namespace uhf::cli {

// Catches the requests from now on (SIGINT and SIGTERM; on Windows the console's control events).
void CatchStopRequests();
bool StopRequested();
// The loop has ended: a console that is closing may end the process now.
void StopFinished();
// Whether stderr is a terminal.
bool ErrorsGoToTerminal();

}  // namespace uhf::cli
