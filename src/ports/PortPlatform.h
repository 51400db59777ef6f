#pragma once
// What serial port discovery on Windows needs of the system: the version query, the device
// interface set of the COM-port class, the read-only registry, an exclusive open test and the
// last error code. The discovery logic is written once over this seam; the Windows build binds it
// to the system, tests substitute a fake.

#include <cstddef>
#include <cstdint>
#include <string>

namespace uhf {

// Opaque handles, as the platform hands them out.
enum class DeviceInfoSet : std::uintptr_t {};
enum class RegistryKey : std::uintptr_t {};
enum class FileHandle : std::uintptr_t {};

inline constexpr DeviceInfoSet kInvalidDeviceInfoSet{~std::uintptr_t{0}};
inline constexpr FileHandle kInvalidFileHandle{~std::uintptr_t{0}};
// The root of the machine's registry hive; opened by nobody, never closed.
inline constexpr RegistryKey kLocalMachineKey{~std::uintptr_t{0} - 1};

// Per-call records the platform fills and reads back (interface data, device info). The logic
// only creates them zeroed and passes them on.
struct InterfaceRecord {
  alignas(8) unsigned char bytes[64] = {};
};
struct DeviceRecord {
  alignas(8) unsigned char bytes[64] = {};
};

// Error codes and property numbers the logic relies on.
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kPlatformWin32Nt = 2;
inline constexpr std::uint32_t kPropertyDeviceDesc = 0;
inline constexpr std::uint32_t kPropertyFriendlyName = 12;
inline constexpr std::uint32_t kPropertyLocationInformation = 13;

struct OsVersion {
  std::uint32_t majorVersion = 0;
  std::uint32_t platformId = 0;
};

class PortPlatform {
 public:
  virtual ~PortPlatform() = default;

  // Major version and platform id; false on failure (code in LastError).
  virtual bool GetVersion(OsVersion& version) = 0;

  // Present devices exposing the COM-port interface class, or kInvalidDeviceInfoSet.
  virtual DeviceInfoSet OpenComPortInterfaces() = 0;
  // The interface at index; false with kErrorNoMoreItems past the last one.
  virtual bool EnumInterface(DeviceInfoSet set, std::uint32_t index, InterfaceRecord& iface) = 0;
  // A detail buffer of `bytes` bytes whose leading size member is set as the platform expects;
  // throws std::bad_alloc when memory runs out.
  virtual char* AllocInterfaceDetail(std::size_t bytes) = 0;
  virtual void FreeInterfaceDetail(char* detail) noexcept = 0;
  // Writes the interface's device path into `detail` and fills `device`; false when the path
  // does not fit or the call fails.
  virtual bool GetInterfaceDetail(DeviceInfoSet set, const InterfaceRecord& iface, char* detail,
                                  std::size_t bytes, DeviceRecord& device) = 0;
  // The device path held in a detail buffer that GetInterfaceDetail filled.
  virtual std::string DetailDevicePath(const char* detail, std::size_t bytes) = 0;
  // A device property's bytes (a string for the properties used here) into `buffer`.
  virtual bool GetDeviceProperty(DeviceInfoSet set, DeviceRecord& device, std::uint32_t property,
                                 char* buffer, std::size_t bytes) = 0;
  virtual void DestroyDeviceInfoSet(DeviceInfoSet set) noexcept = 0;

  // Opens `name` under `parent` with read access.
  virtual bool OpenKey(RegistryKey parent, const std::string& name, RegistryKey& key) = 0;
  // The name of the subkey at index, zero-terminated, into `name` of `bytes` bytes.
  virtual bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::size_t bytes) = 0;
  // A value's bytes into `buffer`; `bytes` is the capacity in and the length out. False when the
  // value is missing or does not fit.
  virtual bool QueryValue(RegistryKey key, const char* name, char* buffer, std::size_t& bytes) = 0;
  virtual void CloseKey(RegistryKey key) noexcept = 0;

  // Opens a device exclusively for reading and writing, or kInvalidFileHandle.
  virtual FileHandle OpenDeviceExclusive(const std::string& path) = 0;
  virtual void CloseDevice(FileHandle file) noexcept = 0;

  // The code of the last failed call.
  virtual std::uint32_t LastError() = 0;
};

// The system's own backend (Windows builds only).
PortPlatform& DefaultPortPlatform();

}  // namespace uhf
