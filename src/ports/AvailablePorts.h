#pragma once
// The machine's serial ports as the tool offers them, listed the operating system's own way: the
// port selector and the companion's `ports` command show them.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace uhf {

struct AvailablePort {
  // Short name, the port selector's item: COM3 on Windows, ttyUSB0 on Linux. Empty for a port
  // whose display name holds no COM name (Windows only); the selector stops there.
  std::string name;
  std::string displayName;  // USB Serial Port (COM3), FT232R USB UART (ttyUSB0)
  std::string devicePath;   // what the port is opened with: \\.\COM3, /dev/ttyUSB0
  // The number the driver's OpenCom takes for this port: n for COMn; on Linux n + 1 for the
  // on-board UART ttyS<n> (ttyS0 is COM1). None for ports without such a number.
  std::optional<std::int32_t> portNumber;

  friend bool operator==(const AvailablePort&, const AvailablePort&) = default;
};

// Raised when the system cannot be asked for its ports; what() is the whole payload.
class PortEnumerationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The ports in the order the system lists them; empty when there are none. Never opens a port.
std::vector<AvailablePort> AvailablePorts();

}  // namespace uhf
