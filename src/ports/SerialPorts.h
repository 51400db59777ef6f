#pragma once
// Serial port discovery on Windows, written over the PortPlatform seam. Three methods, chosen by
// the running system's version: the COM-port device interface class, a fixed list of sixteen
// numbered ports, or a walk of the legacy HKLM\Enum registry tree. A common post-pass fills in
// display names and descriptions and, on request, drops ports that cannot be opened.

#include <cstddef>
#include <string>
#include <vector>

#include "ports/AvailablePorts.h"
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

// Buffer sizes the discovery calls are made with.
inline constexpr std::size_t kInterfaceDetailBytes = 261;
inline constexpr std::size_t kDevicePropertyBytes = 256;
inline constexpr std::size_t kRegistryNameBytes = 128;
inline constexpr std::size_t kRegistryValueBytes = 128;

// Empties `list`, fills it by the method the system's version selects, then runs the post-pass.
// With probePresence, every port that cannot be opened exclusively is removed.
// Raises PortEnumerationError.
void EnumerateSerialPorts(std::vector<SerialPortInfo>& list, bool probePresence,
                          PortPlatform& platform);

// The discovery methods; each appends to `list`. Records appended before a failure stay.
void EnumPortsByInterface(std::vector<SerialPortInfo>& list, PortPlatform& platform);
void EnumPortsByNumber(std::vector<SerialPortInfo>& list);
void EnumPortsFromEnumKey(std::vector<SerialPortInfo>& list, PortPlatform& platform);
// Reads the instance subkeys of one device key of the legacy tree, merging by port name.
void AddPortsFromDeviceKey(RegistryKey deviceKey, bool isUsb, std::vector<SerialPortInfo>& list,
                           PortPlatform& platform);

// A discovered record as an available port: its name is the text from the first "COM" of the
// display name through the digits right after it (empty without "COM"), its number those digits.
AvailablePort AsAvailablePort(const SerialPortInfo& port);

}  // namespace uhf
