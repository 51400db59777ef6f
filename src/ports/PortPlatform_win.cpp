// The Windows backend: the Setup API over the COM-port device interface class, the registry,
// the version query and an exclusive CreateFileW as the open test. Every call is the wide one:
// names come back as UTF-8 whatever the system's ANSI code page ("USB 串行设备 (COM3)" from the
// ANSI calls was GBK on a Chinese system), and paths go in as UTF-16.

#include <windows.h>
// windows.h first: setupapi.h relies on its types.
#include <setupapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ports/PortPlatform.h"
#include "ports/SerialPorts.h"
#include "text/Utf8.h"
#include "text/WideText.h"

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

// The UTF-8 of `wide` (up to its first zero), zero-terminated, into `buffer` of `bytes` bytes. A
// text too long is cut at a character boundary when `cut` is set, else refused.
bool ToBuffer(std::wstring_view wide, char* buffer, std::size_t bytes, bool cut) {
  if (bytes == 0) return false;
  wide = wide.substr(0, wide.find(L'\0'));
  const std::string text = Narrow(wide);
  if (text.size() + 1 > bytes && !cut) return false;
  const std::string_view kept = Utf8Prefix(text, bytes - 1);
  std::memcpy(buffer, kept.data(), kept.size());
  buffer[kept.size()] = '\0';
  return true;
}

class WinPortPlatform : public PortPlatform {
 public:
  bool GetVersion(OsVersion& version) override {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return Fail(GetLastError());
    version.majorVersion = info.dwMajorVersion;
    version.platformId = info.dwPlatformId;
    return true;
  }

  DeviceInfoSet OpenComPortInterfaces() override {
    HDEVINFO set = SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr,
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

  // A detail buffer for a path of as many UTF-16 units as the narrow one had bytes.
  static std::size_t WideDetailBytes(std::size_t bytes) {
    return std::max(bytes * sizeof(wchar_t), sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
  }

  char* AllocInterfaceDetail(std::size_t bytes) override {
    // wchar_t-aligned: the path is read in place.
    auto* words = new wchar_t[WideDetailBytes(bytes) / sizeof(wchar_t) + 1]();
    char* detail = reinterpret_cast<char*>(words);
    // The size of the fixed part as this process's ABI lays it out (6 for 32-bit, 8 for 64-bit);
    // any other value makes the detail call fail.
    const DWORD sizeMember = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    std::memcpy(detail, &sizeMember, sizeof sizeMember);
    return detail;
  }

  void FreeInterfaceDetail(char* detail) noexcept override {
    delete[] reinterpret_cast<wchar_t*>(detail);
  }

  bool GetInterfaceDetail(DeviceInfoSet set, const InterfaceRecord& iface, char* detail,
                          std::size_t bytes, DeviceRecord& device) override {
    SP_DEVICE_INTERFACE_DATA data{};
    std::memcpy(&data, iface.bytes, sizeof data);
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    if (!SetupDiGetDeviceInterfaceDetailW(
            AsDevInfo(set), &data, reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(detail),
            static_cast<DWORD>(WideDetailBytes(bytes)), nullptr, &info)) {
      return Fail(GetLastError());
    }
    std::memcpy(device.bytes, &info, sizeof info);
    return true;
  }

  std::string DetailDevicePath(const char* detail, std::size_t bytes) override {
    constexpr std::size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    const std::size_t size = WideDetailBytes(bytes);
    if (detail == nullptr || size <= offset) return {};
    const std::wstring_view path(reinterpret_cast<const wchar_t*>(detail + offset),
                                 (size - offset) / sizeof(wchar_t));
    return Narrow(path.substr(0, path.find(L'\0')));
  }

  bool GetDeviceProperty(DeviceInfoSet set, DeviceRecord& device, std::uint32_t property,
                         char* buffer, std::size_t bytes) override {
    SP_DEVINFO_DATA info{};
    std::memcpy(&info, device.bytes, sizeof info);
    std::wstring wide(bytes, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(
            AsDevInfo(set), &info, property, nullptr, reinterpret_cast<PBYTE>(wide.data()),
            static_cast<DWORD>(wide.size() * sizeof(wchar_t)), nullptr)) {
      return Fail(GetLastError());
    }
    return ToBuffer(wide, buffer, bytes, true);
  }

  void DestroyDeviceInfoSet(DeviceInfoSet set) noexcept override {
    if (set != kInvalidDeviceInfoSet) SetupDiDestroyDeviceInfoList(AsDevInfo(set));
  }

  bool OpenKey(RegistryKey parent, const std::string& name, RegistryKey& key) override {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(AsKey(parent), Widen(name).c_str(), 0, KEY_READ, &opened);
    if (status != ERROR_SUCCESS) return Fail(static_cast<std::uint32_t>(status));
    key = RegistryKey{reinterpret_cast<std::uintptr_t>(opened)};
    return true;
  }

  bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::size_t bytes) override {
    std::wstring wide(bytes, L'\0');
    DWORD length = static_cast<DWORD>(wide.size());
    const LONG status =
        RegEnumKeyExW(AsKey(key), index, wide.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return Fail(static_cast<std::uint32_t>(status));
    if (!ToBuffer(std::wstring_view(wide).substr(0, length), name, bytes, false)) {
      return Fail(ERROR_MORE_DATA);
    }
    return true;
  }

  bool QueryValue(RegistryKey key, const char* name, char* buffer, std::size_t& bytes) override {
    DWORD type = 0;
    std::wstring wide(bytes, L'\0');
    DWORD length = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
    const LONG status = RegQueryValueExW(AsKey(key), Widen(name).c_str(), nullptr, &type,
                                         reinterpret_cast<LPBYTE>(wide.data()), &length);
    if (status != ERROR_SUCCESS) return Fail(static_cast<std::uint32_t>(status));
    wide.resize(length / sizeof(wchar_t));
    if (!ToBuffer(wide, buffer, bytes, false)) return Fail(ERROR_MORE_DATA);
    bytes = std::strlen(buffer) + 1;
    return true;
  }

  void CloseKey(RegistryKey key) noexcept override {
    if (key != kLocalMachineKey) RegCloseKey(AsKey(key));
  }

  FileHandle OpenDeviceExclusive(const std::string& path) override {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
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
