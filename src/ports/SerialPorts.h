#pragma once
// Discovery of the machine's serial ports for the port selector. Three methods, chosen by the
// running system's version: the COM-port device interface class, a fixed list of sixteen
// numbered ports, or a walk of the legacy HKLM\Enum registry tree. A common post-pass fills in
// display names and descriptions and, on request, drops ports that cannot be opened.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "ports/PortPlatform.h"

namespace uhf {

struct SerialPortInfo {
  std::string devicePath;    // what the port is opened with
  std::string portName;      // COM3; empty for ports found through the device interface class
  std::string friendlyName;  // display name, ends in "(COM3)" or is the bare port name
  bool isUsb = false;
  std::string description;  // display name without its port name, or the device's own text

  friend bool operator==(const SerialPortInfo&, const SerialPortInfo&) = default;
};

// Raised by every discovery failure; what() is the whole payload.
class PortEnumerationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Buffer sizes the discovery calls are made with.
inline constexpr std::size_t kInterfaceDetailBytes = 261;
inline constexpr std::size_t kDevicePropertyBytes = 256;
inline constexpr std::size_t kRegistryNameBytes = 128;
inline constexpr std::size_t kRegistryValueBytes = 128;

// Empties `list`, fills it by the method the system's version selects, then runs the post-pass.
// With probePresence, every port that cannot be opened exclusively is removed.
void EnumerateSerialPorts(std::vector<SerialPortInfo>& list, bool probePresence,
                          PortPlatform& platform);
void EnumerateSerialPorts(std::vector<SerialPortInfo>& list, bool probePresence);

// The discovery methods; each appends to `list`. Records appended before a failure stay.
void EnumPortsByInterface(std::vector<SerialPortInfo>& list, PortPlatform& platform);
void EnumPortsByNumber(std::vector<SerialPortInfo>& list);
void EnumPortsFromEnumKey(std::vector<SerialPortInfo>& list, PortPlatform& platform);
// Reads the instance subkeys of one device key of the legacy tree, merging by port name.
void AddPortsFromDeviceKey(RegistryKey deviceKey, bool isUsb, std::vector<SerialPortInfo>& list,
                           PortPlatform& platform);

// The port selector's items: for each record in order, the text from the first "COM" of its
// display name through the digits right after it. The first record without "COM" ends the list.
std::vector<std::string> PortSelectorItems(const std::vector<SerialPortInfo>& list);

}  // namespace uhf
