#pragma once
// The Linux backend: the machine's serial devices from sysfs, offered the way the COM-port device
// interface class offers them (so discovery takes that method), an exclusive open test on the
// device node, and no registry.

#include <cstdint>
#include <filesystem>
#include <string>

#include "ports/PortPlatform.h"

namespace uhf {

class LinuxPortPlatform : public PortPlatform {
 public:
  // `root` is where sysfs (root/sys) and the device nodes (root/dev) are looked for.
  explicit LinuxPortPlatform(std::filesystem::path root = "/");

  bool GetVersion(OsVersion& version) override;

  DeviceInfoSet OpenComPortInterfaces() override;
  bool EnumInterface(DeviceInfoSet set, std::uint32_t index, InterfaceRecord& iface) override;
  char* AllocInterfaceDetail(std::size_t bytes) override;
  void FreeInterfaceDetail(char* detail) noexcept override;
  bool GetInterfaceDetail(DeviceInfoSet set, const InterfaceRecord& iface, char* detail,
                          std::size_t bytes, DeviceRecord& device) override;
  std::string DetailDevicePath(const char* detail, std::size_t bytes) override;
  bool GetDeviceProperty(DeviceInfoSet set, DeviceRecord& device, std::uint32_t property,
                         char* buffer, std::size_t bytes) override;
  void DestroyDeviceInfoSet(DeviceInfoSet set) noexcept override;

  bool OpenKey(RegistryKey parent, const std::string& name, RegistryKey& key) override;
  bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::size_t bytes) override;
  bool QueryValue(RegistryKey key, const char* name, char* buffer, std::size_t& bytes) override;
  void CloseKey(RegistryKey key) noexcept override;

  FileHandle OpenDeviceExclusive(const std::string& path) override;
  void CloseDevice(FileHandle file) noexcept override;

  std::uint32_t LastError() override { return lastError_; }

 private:
  std::filesystem::path root_;
  std::uint32_t lastError_ = 0;
};

}  // namespace uhf
