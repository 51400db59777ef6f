// The Windows backend: the Setup API over the COM-port device interface class, the registry,
// the version query and an exclusive CreateFileA as the open test.

#include <windows.h>
// windows.h first: setupapi.h relies on its types.
#include <setupapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ports/PortPlatform.h"
#include "ports/SerialPorts.h"

// The version query is marked deprecated by the compiler's headers; the method choice needs it.
#if defined(_MSC_VER)
#pragma warning(disable : 4996)
#endif

namespace uhf {
namespace {

// GUID_DEVINTERFACE_COMPORT {86E0D1E0-8089-11D0-9CE4-08003E301F73}
const GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) <= sizeof(InterfaceRecord::bytes));
static_assert(sizeof(SP_DEVINFO_DATA) <= sizeof(DeviceRecord::bytes));

HDEVINFO AsDevInfo(DeviceInfoSet set) {
  return reinterpret_cast<HDEVINFO>(static_cast<std::uintptr_t>(set));
}

HKEY AsKey(RegistryKey key) {
  if (key == kLocalMachineKey) return HKEY_LOCAL_MACHINE;
  return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}

class WinPortPlatform : public PortPlatform {
 public:
  bool GetVersion(OsVersion& version) override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return Fail(GetLastError());
    version.majorVersion = info.dwMajorVersion;
    version.platformId = info.dwPlatformId;
    return true;
  }

  DeviceInfoSet OpenComPortInterfaces() override {
    HDEVINFO set = SetupDiGetClassDevsA(&kComPortInterface, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
      lastError_ = GetLastError();
      return kInvalidDeviceInfoSet;
    }
    return DeviceInfoSet{reinterpret_cast<std::uintptr_t>(set)};
  }

  bool EnumInterface(DeviceInfoSet set, std::uint32_t index, InterfaceRecord& iface) override {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(AsDevInfo(set), nullptr, &kComPortInterface, index, &data)) {
      return Fail(GetLastError());
    }
    std::memcpy(iface.bytes, &data, sizeof data);
    return true;
  }

  char* AllocInterfaceDetail(std::size_t bytes) override {
    char* detail = new char[std::max(bytes, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))]();
    // The size of the fixed part as this process's ABI lays it out (5 for 32-bit, 8 for 64-bit);
    // any other value makes the detail call fail.
    const DWORD sizeMember = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    std::memcpy(detail, &sizeMember, sizeof sizeMember);
    return detail;
  }

  void FreeInterfaceDetail(char* detail) noexcept override { delete[] detail; }

  bool GetInterfaceDetail(DeviceInfoSet set, const InterfaceRecord& iface, char* detail,
                          std::size_t bytes, DeviceRecord& device) override {
    SP_DEVICE_INTERFACE_DATA data{};
    std::memcpy(&data, iface.bytes, sizeof data);
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    if (!SetupDiGetDeviceInterfaceDetailA(
            AsDevInfo(set), &data, reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detail),
            static_cast<DWORD>(bytes), nullptr, &info)) {
      return Fail(GetLastError());
    }
    std::memcpy(device.bytes, &info, sizeof info);
    return true;
  }

  std::string DetailDevicePath(const char* detail, std::size_t bytes) override {
    constexpr std::size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    if (detail == nullptr || bytes <= offset) return {};
    const char* path = detail + offset;
    const void* end = std::memchr(path, '\0', bytes - offset);
    return std::string(path, end ? static_cast<const char*>(end) - path : bytes - offset);
  }

  bool GetDeviceProperty(DeviceInfoSet set, DeviceRecord& device, std::uint32_t property,
                         char* buffer, std::size_t bytes) override {
    SP_DEVINFO_DATA info{};
    std::memcpy(&info, device.bytes, sizeof info);
    if (!SetupDiGetDeviceRegistryPropertyA(AsDevInfo(set), &info, property, nullptr,
                                           reinterpret_cast<PBYTE>(buffer),
                                           static_cast<DWORD>(bytes), nullptr)) {
      return Fail(GetLastError());
    }
    return true;
  }

  void DestroyDeviceInfoSet(DeviceInfoSet set) noexcept override {
    if (set != kInvalidDeviceInfoSet) SetupDiDestroyDeviceInfoList(AsDevInfo(set));
  }

  bool OpenKey(RegistryKey parent, const std::string& name, RegistryKey& key) override {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(AsKey(parent), name.c_str(), 0, KEY_READ, &opened);
    if (status != ERROR_SUCCESS) return Fail(static_cast<std::uint32_t>(status));
    key = RegistryKey{reinterpret_cast<std::uintptr_t>(opened)};
    return true;
  }

  bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::size_t bytes) override {
    DWORD length = static_cast<DWORD>(bytes);
    const LONG status =
        RegEnumKeyExA(AsKey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return Fail(static_cast<std::uint32_t>(status));
    return true;
  }

  bool QueryValue(RegistryKey key, const char* name, char* buffer, std::size_t& bytes) override {
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(bytes);
    const LONG status = RegQueryValueExA(AsKey(key), name, nullptr, &type,
                                         reinterpret_cast<LPBYTE>(buffer), &length);
    if (status != ERROR_SUCCESS) return Fail(static_cast<std::uint32_t>(status));
    bytes = length;
    return true;
  }

  void CloseKey(RegistryKey key) noexcept override {
    if (key != kLocalMachineKey) RegCloseKey(AsKey(key));
  }

  FileHandle OpenDeviceExclusive(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      lastError_ = GetLastError();
      return kInvalidFileHandle;
    }
    return FileHandle{reinterpret_cast<std::uintptr_t>(file)};
  }

  void CloseDevice(FileHandle file) noexcept override {
    if (file != kInvalidFileHandle) {
      CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(file)));
    }
  }

  std::uint32_t LastError() override { return lastError_; }

 private:
  // Keeps the code of a failed call at once, before anything else can overwrite it.
  bool Fail(std::uint32_t code) {
    lastError_ = code;
    return false;
  }

  std::uint32_t lastError_ = 0;
};

}  // namespace

PortPlatform& DefaultPortPlatform() {
  static WinPortPlatform platform;
  return platform;
}

std::vector<AvailablePort> AvailablePorts() {
  std::vector<SerialPortInfo> list;
  EnumerateSerialPorts(list, false, DefaultPortPlatform());
  std::vector<AvailablePort> ports;
  ports.reserve(list.size());
  for (const SerialPortInfo& port : list) ports.push_back(AsAvailablePort(port));
  return ports;
}

}  // namespace uhf
