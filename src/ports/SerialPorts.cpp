#include "ports/SerialPorts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

namespace uhf {
namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";
constexpr std::string_view kEnumPrefix = "Could not read from HKLM\\Enum";

[[noreturn]] void RaiseWithCode(const char* what, std::uint32_t code) {
  char text[128];
  std::snprintf(text, sizeof text, "%s (err=%lx)", what, static_cast<unsigned long>(code));
  throw PortEnumerationError(text);
}

// A string read into a fixed buffer: up to its first zero byte, never past the buffer.
std::string FromBuffer(const char* buffer, std::size_t bytes) {
  const void* end = std::memchr(buffer, '\0', bytes);
  return std::string(buffer, end ? static_cast<const char*>(end) - buffer : bytes);
}

// Releases what a discovery method acquired, on every way out of it.
template <class Release>
class Releaser {
 public:
  explicit Releaser(Release release) : release_(std::move(release)) {}
  ~Releaser() { release_(); }
  Releaser(const Releaser&) = delete;
  Releaser& operator=(const Releaser&) = delete;

 private:
  Release release_;
};

// Opens `name` under `parent` for reading; raises `failure` when it cannot.
RegistryKey OpenKeyOrRaise(PortPlatform& platform, RegistryKey parent, const std::string& name,
                           const std::string& failure) {
  RegistryKey key{};
  if (!platform.OpenKey(parent, name, key)) throw PortEnumerationError(failure);
  return key;
}

bool ReadProperty(PortPlatform& platform, DeviceInfoSet set, DeviceRecord& device,
                  std::uint32_t property, std::string& value) {
  char buffer[kDevicePropertyBytes] = {};
  if (!platform.GetDeviceProperty(set, device, property, buffer, sizeof buffer)) return false;
  value = FromBuffer(buffer, sizeof buffer);
  return true;
}

bool SubkeyAt(PortPlatform& platform, RegistryKey key, std::uint32_t index, std::string& name) {
  char buffer[kRegistryNameBytes] = {};
  if (!platform.EnumSubkey(key, index, buffer, sizeof buffer)) return false;
  name = FromBuffer(buffer, sizeof buffer);
  return true;
}

bool ReadValue(PortPlatform& platform, RegistryKey key, const char* valueName, std::string& value) {
  char buffer[kRegistryValueBytes] = {};
  std::size_t length = sizeof buffer;
  if (!platform.QueryValue(key, valueName, buffer, length)) return false;
  value = FromBuffer(buffer, std::min(length, sizeof buffer));
  return true;
}

void PostPass(std::vector<SerialPortInfo>& list, bool probePresence, PortPlatform& platform) {
  for (std::size_t i = 0; i < list.size();) {
    SerialPortInfo& port = list[i];
    if (probePresence) {
      const FileHandle file = platform.OpenDeviceExclusive(port.devicePath);
      if (file == kInvalidFileHandle) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        continue;  // the next record now stands at i
      }
      platform.CloseDevice(file);
    }
    if (port.friendlyName.empty()) port.friendlyName = port.portName;
    if (port.description.empty()) {
      port.description = port.friendlyName;
      const std::size_t open = port.description.find(" (");
      const std::size_t close = port.description.find(')');
      if (open != std::string::npos && open > 0 && close != std::string::npos &&
          close == port.description.size() - 1) {
        port.description.resize(open);
      }
    }
    ++i;
  }
}

}  // namespace

void EnumerateSerialPorts(std::vector<SerialPortInfo>& list, bool probePresence,
                          PortPlatform& platform) {
  list.clear();
  OsVersion version;
  if (!platform.GetVersion(version)) {
    RaiseWithCode("Could not get OS version.", platform.LastError());
  }
  if (version.majorVersion >= 5) {
    EnumPortsByInterface(list, platform);
  } else if (version.platformId == kPlatformWin32Nt) {
    EnumPortsByNumber(list);
  } else {
    EnumPortsFromEnumKey(list, platform);
  }
  PostPass(list, probePresence, platform);
}

void EnumPortsByInterface(std::vector<SerialPortInfo>& list, PortPlatform& platform) {
  const DeviceInfoSet set = platform.OpenComPortInterfaces();
  if (set == kInvalidDeviceInfoSet) {
    RaiseWithCode("SetupDiGetClassDevs failed.", platform.LastError());
  }
  Releaser setGuard([&] { platform.DestroyDeviceInfoSet(set); });
  char* detail = platform.AllocInterfaceDetail(kInterfaceDetailBytes);
  Releaser detailGuard([&] { platform.FreeInterfaceDetail(detail); });

  InterfaceRecord iface;
  for (std::uint32_t index = 0;; ++index) {
    if (!platform.EnumInterface(set, index, iface)) {
      const std::uint32_t code = platform.LastError();
      if (code == kErrorNoMoreItems) break;
      RaiseWithCode("SetupDiEnumDeviceInterfaces failed.", code);
    }
    DeviceRecord device;
    if (!platform.GetInterfaceDetail(set, iface, detail, kInterfaceDetailBytes, device)) {
      RaiseWithCode("SetupDiGetDeviceInterfaceDetail failed.", platform.LastError());
    }
    SerialPortInfo port;
    port.devicePath = platform.DetailDevicePath(detail, kInterfaceDetailBytes);

    std::string friendlyName;
    std::string deviceDesc;
    std::string location;
    const bool haveFriendly =
        ReadProperty(platform, set, device, kPropertyFriendlyName, friendlyName);
    const bool haveDesc =
        haveFriendly && ReadProperty(platform, set, device, kPropertyDeviceDesc, deviceDesc);
    const bool haveLocation =
        ReadProperty(platform, set, device, kPropertyLocationInformation, location);

    port.isUsb = haveLocation && location.compare(0, 3, "USB") == 0;
    if (haveFriendly && haveDesc) {
      port.friendlyName = std::move(friendlyName);
      port.description = std::move(deviceDesc);
      list.push_back(std::move(port));
    }
  }
}

void EnumPortsByNumber(std::vector<SerialPortInfo>& list) {
  for (int n = 1; n <= 16; ++n) {
    SerialPortInfo port;
    port.portName = "COM" + std::to_string(n);
    port.devicePath = std::string(kDevicePrefix) + port.portName;
    list.push_back(std::move(port));
  }
}

void EnumPortsFromEnumKey(std::vector<SerialPortInfo>& list, PortPlatform& platform) {
  const RegistryKey enumKey =
      OpenKeyOrRaise(platform, kLocalMachineKey, "Enum", std::string(kEnumPrefix));
  Releaser enumGuard([&] { platform.CloseKey(enumKey); });

  std::string busName;
  for (std::uint32_t busIndex = 0; SubkeyAt(platform, enumKey, busIndex, busName); ++busIndex) {
    const RegistryKey busKey =
        OpenKeyOrRaise(platform, enumKey, busName, std::string(kEnumPrefix) + "\\" + busName);
    Releaser busGuard([&] { platform.CloseKey(busKey); });
    const bool usbBus = busName == "USBPORTS";

    std::string deviceId;
    for (std::uint32_t devIndex = 0; SubkeyAt(platform, busKey, devIndex, deviceId); ++devIndex) {
      if (!usbBus && deviceId != "*PNP0500" && deviceId != "*PNP0501") continue;
      const RegistryKey deviceKey = OpenKeyOrRaise(
          platform, busKey, deviceId, std::string(kEnumPrefix) + "\\" + busName + "\\" + deviceId);
      Releaser deviceGuard([&] { platform.CloseKey(deviceKey); });
      AddPortsFromDeviceKey(deviceKey, usbBus, list, platform);
    }
  }
}

void AddPortsFromDeviceKey(RegistryKey deviceKey, bool isUsb, std::vector<SerialPortInfo>& list,
                           PortPlatform& platform) {
  std::string instance;
  for (std::uint32_t index = 0; SubkeyAt(platform, deviceKey, index, instance); ++index) {
    const RegistryKey instanceKey = OpenKeyOrRaise(platform, deviceKey, instance,
                                                   std::string(kEnumPrefix) + "\\...\\" + instance);
    Releaser instanceGuard([&] { platform.CloseKey(instanceKey); });

    SerialPortInfo port;
    if (!ReadValue(platform, instanceKey, "PORTNAME", port.portName)) continue;
    // A missing display name stays empty; the post-pass puts the port name there.
    ReadValue(platform, instanceKey, "FRIENDLYNAME", port.friendlyName);
    port.devicePath = std::string(kDevicePrefix) + port.portName;
    port.isUsb = isUsb;

    auto same = std::find_if(list.begin(), list.end(), [&](const SerialPortInfo& known) {
      return known.portName == port.portName;
    });
    if (same != list.end()) {
      *same = std::move(port);
    } else {
      list.push_back(std::move(port));
    }
  }
}

AvailablePort AsAvailablePort(const SerialPortInfo& port) {
  AvailablePort available{{}, port.friendlyName, port.devicePath, std::nullopt};
  const std::string& display = port.friendlyName;
  const std::size_t start = display.find("COM");
  if (start == std::string::npos) return available;
  std::size_t end = start + 3;
  while (end < display.size() && display[end] >= '0' && display[end] <= '9') ++end;
  available.name = display.substr(start, end - start);
  // Nine digits at most, so the number fits OpenCom's 32-bit argument.
  if (end > start + 3 && end - start - 3 <= 9) {
    available.portNumber = std::stoi(display.substr(start + 3, end - start - 3));
  }
  return available;
}

}  // namespace uhf
