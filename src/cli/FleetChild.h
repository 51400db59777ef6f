#pragma once
// The fleet's child processes: one companion command per reader, started with its output and
// errors in files and its input empty, in a process group of its own so that a Ctrl+C at the
// terminal reaches the fleet alone (which lets the child finish). Polled, never waited on, so
// that one reader that does not answer holds up no other.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uhf::cli {

class FleetChild {
 public:
  virtual ~FleetChild() = default;
  // The exit status once the child has ended (128 + the signal when a signal ended it).
  virtual std::optional<int> Poll() = 0;
  // Ends the child at once and waits for it to be gone.
  virtual void Kill() = 0;
};

// Starts `args` (the program first, UTF-8 texts). Nothing, with `error` set, when it cannot start.
std::unique_ptr<FleetChild> StartFleetChild(const std::vector<std::string>& args,
                                            const std::filesystem::path& out,
                                            const std::filesystem::path& err, std::string& error);

// Waits up to `limit` for a child to end; returns early on a signal, and may return early
// otherwise. Blocks nothing when no child was started.
void WaitForFleetChildren(std::chrono::milliseconds limit);

// The file of the running program, so that each child runs the same executable.
std::filesystem::path OwnProgram();

// One argument as a Windows command line carries it to the program's argument parser: quoted
// when it holds blanks or quotes or is empty, backslashes doubled only before a quote.
std::string QuoteWindowsArgument(std::string_view argument);

}  // namespace uhf::cli
