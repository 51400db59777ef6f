#pragma once
// A scriptable port platform: devices, registry tree and failures set up per test; every set,
// detail buffer, registry key and file it hands out is counted so tests can check that all of it
// came back, on every path.

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ports/PortPlatform.h"

namespace uhf::test {

struct FakeInterface {
  std::string devicePath;
  std::optional<std::string> friendlyName;  // nullopt: the property read fails
  std::optional<std::string> deviceDesc;
  std::optional<std::string> location;
};

class FakePortPlatform : public PortPlatform {
 public:
  static constexpr std::uint32_t kNotFound = 2;
  static constexpr std::uint32_t kMoreData = 234;
  static constexpr std::uint32_t kInsufficientBuffer = 122;
  static constexpr std::uint32_t kSharingViolation = 32;

  // --- script ---
  OsVersion version{5, kPlatformWin32Nt};
  std::optional<std::uint32_t> versionError;
  std::optional<std::uint32_t> classDevsError;
  std::vector<FakeInterface> interfaces;
  std::map<std::uint32_t, std::uint32_t> enumErrorAt;    // interface index -> code
  std::map<std::uint32_t, std::uint32_t> detailErrorAt;  // interface index -> code
  std::set<std::string> presentDevices;                  // paths that open
  std::set<std::string> busyDevices;                     // held by another program

  // Adds a key by its path below HKLM ("Enum\\Root\\*PNP0501\\0000"), creating its parents;
  // subkeys enumerate in the order they were added.
  void AddKey(const std::string& path, std::map<std::string, std::string> values = {}) {
    std::string parent;
    std::size_t start = 0;
    while (true) {
      const std::size_t sep = path.find('\\', start);
      const std::string here = path.substr(0, sep);
      auto [node, added] = keys_.try_emplace(here);
      if (added)
        keys_[parent].children.push_back(here.substr(parent.empty() ? 0 : parent.size() + 1));
      if (sep == std::string::npos) {
        for (auto& [name, data] : values) node->second.values[name] = data;
        return;
      }
      parent = here;
      start = sep + 1;
    }
  }
  void FailOpenOfKey(const std::string& path, std::uint32_t code = 5) { failOpen_[path] = code; }

  // --- record ---
  int setsOpened = 0, setsDestroyed = 0;
  int detailsAllocated = 0, detailsFreed = 0;
  int keysOpened = 0, keysClosed = 0;
  int filesOpened = 0, filesClosed = 0;
  int misuse = 0;  // a call on something not live, a double release, a wrong buffer size
  std::vector<std::pair<std::uint32_t, std::uint32_t>> propertyReads;  // interface, property
  std::vector<std::string> openAttempts;

  bool AllReleased() const {
    return setsOpened == setsDestroyed && detailsAllocated == detailsFreed &&
           keysOpened == keysClosed && filesOpened == filesClosed && liveKeys_.empty() &&
           liveDetails_.empty() && liveFiles_.empty() && !setLive_ && misuse == 0;
  }

  // --- PortPlatform ---
  bool GetVersion(OsVersion& out) override {
    if (versionError) return Fail(*versionError);
    out = version;
    return true;
  }

  DeviceInfoSet OpenComPortInterfaces() override {
    if (classDevsError) {
      Fail(*classDevsError);
      return kInvalidDeviceInfoSet;
    }
    if (setLive_) ++misuse;
    setLive_ = true;
    ++setsOpened;
    return kSet;
  }

  bool EnumInterface(DeviceInfoSet set, std::uint32_t index, InterfaceRecord& iface) override {
    CheckSet(set);
    if (auto it = enumErrorAt.find(index); it != enumErrorAt.end()) return Fail(it->second);
    if (index >= interfaces.size()) return Fail(kErrorNoMoreItems);
    std::memcpy(iface.bytes, &index, sizeof index);
    return true;
  }

  char* AllocInterfaceDetail(std::size_t bytes) override {
    char* detail = new char[bytes]();
    liveDetails_.insert(detail);
    ++detailsAllocated;
    return detail;
  }

  void FreeInterfaceDetail(char* detail) noexcept override {
    if (liveDetails_.erase(detail) == 0) ++misuse;
    ++detailsFreed;
    delete[] detail;
  }

  bool GetInterfaceDetail(DeviceInfoSet set, const InterfaceRecord& iface, char* detail,
                          std::size_t bytes, DeviceRecord& device) override {
    CheckSet(set);
    if (!liveDetails_.count(detail) || bytes != 261) ++misuse;
    std::uint32_t index = 0;
    std::memcpy(&index, iface.bytes, sizeof index);
    for (unsigned char b : device.bytes) {
      if (b != 0) ++misuse;  // the record must come in reset
    }
    if (auto it = detailErrorAt.find(index); it != detailErrorAt.end()) return Fail(it->second);
    const std::string& path = interfaces.at(index).devicePath;
    if (path.size() + 1 > bytes - 4) return Fail(kInsufficientBuffer);
    std::memcpy(detail + 4, path.c_str(), path.size() + 1);
    std::memcpy(device.bytes, &index, sizeof index);
    return true;
  }

  std::string DetailDevicePath(const char* detail, std::size_t bytes) override {
    return std::string(detail + 4, strnlen(detail + 4, bytes - 4));
  }

  bool GetDeviceProperty(DeviceInfoSet set, DeviceRecord& device, std::uint32_t property,
                         char* buffer, std::size_t bytes) override {
    CheckSet(set);
    std::uint32_t index = 0;
    std::memcpy(&index, device.bytes, sizeof index);
    propertyReads.emplace_back(index, property);
    const FakeInterface& dev = interfaces.at(index);
    const std::optional<std::string>& value = property == kPropertyFriendlyName ? dev.friendlyName
                                              : property == kPropertyDeviceDesc ? dev.deviceDesc
                                                                                : dev.location;
    if (!value) return Fail(13);
    // Properties come back as stored; a full-length one has no room for a terminator.
    if (value->size() > bytes) return Fail(kInsufficientBuffer);
    std::memcpy(buffer, value->data(), value->size());
    if (value->size() < bytes) buffer[value->size()] = '\0';
    return true;
  }

  void DestroyDeviceInfoSet(DeviceInfoSet set) noexcept override {
    if (set != kSet || !setLive_) ++misuse;
    setLive_ = false;
    ++setsDestroyed;
  }

  bool OpenKey(RegistryKey parent, const std::string& name, RegistryKey& key) override {
    std::string path;
    if (parent != kLocalMachineKey) {
      auto it = liveKeys_.find(static_cast<std::uintptr_t>(parent));
      if (it == liveKeys_.end()) {
        ++misuse;
        return Fail(6);
      }
      path = it->second + "\\";
    }
    path += name;
    if (auto it = failOpen_.find(path); it != failOpen_.end()) return Fail(it->second);
    if (!keys_.count(path)) return Fail(kNotFound);
    const std::uintptr_t handle = nextKey_++;
    liveKeys_[handle] = path;
    ++keysOpened;
    key = RegistryKey{handle};
    return true;
  }

  bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::size_t bytes) override {
    const std::string* path = LiveKey(key);
    if (path == nullptr) return Fail(6);
    const std::vector<std::string>& children = keys_.at(*path).children;
    if (index >= children.size()) return Fail(kErrorNoMoreItems);
    if (children[index].size() + 1 > bytes) return Fail(kMoreData);
    std::memcpy(name, children[index].c_str(), children[index].size() + 1);
    return true;
  }

  bool QueryValue(RegistryKey key, const char* name, char* buffer, std::size_t& bytes) override {
    const std::string* path = LiveKey(key);
    if (path == nullptr) return Fail(6);
    const auto& values = keys_.at(*path).values;
    auto it = values.find(name);
    if (it == values.end()) return Fail(kNotFound);
    if (it->second.size() > bytes) return Fail(kMoreData);
    std::memcpy(buffer, it->second.data(), it->second.size());
    bytes = it->second.size();
    return true;
  }

  void CloseKey(RegistryKey key) noexcept override {
    if (liveKeys_.erase(static_cast<std::uintptr_t>(key)) == 0) ++misuse;
    ++keysClosed;
  }

  FileHandle OpenDeviceExclusive(const std::string& path) override {
    openAttempts.push_back(path);
    if (busyDevices.count(path)) {
      Fail(kSharingViolation);
      return kInvalidFileHandle;
    }
    if (!presentDevices.count(path)) {
      Fail(kNotFound);
      return kInvalidFileHandle;
    }
    const std::uintptr_t handle = nextFile_++;
    liveFiles_.insert(handle);
    ++filesOpened;
    return FileHandle{handle};
  }

  void CloseDevice(FileHandle file) noexcept override {
    if (liveFiles_.erase(static_cast<std::uintptr_t>(file)) == 0) ++misuse;
    ++filesClosed;
  }

  std::uint32_t LastError() override { return lastError_; }

 private:
  static constexpr DeviceInfoSet kSet{0x5e7};

  struct Key {
    std::vector<std::string> children;
    std::map<std::string, std::string> values;
  };

  bool Fail(std::uint32_t code) {
    lastError_ = code;
    return false;
  }
  void CheckSet(DeviceInfoSet set) {
    if (set != kSet || !setLive_) ++misuse;
  }
  const std::string* LiveKey(RegistryKey key) {
    auto it = liveKeys_.find(static_cast<std::uintptr_t>(key));
    if (it == liveKeys_.end()) {
      ++misuse;
      return nullptr;
    }
    return &it->second;
  }

  std::uint32_t lastError_ = 0;
  bool setLive_ = false;
  std::set<char*> liveDetails_;
  std::map<std::string, Key> keys_;  // by path below HKLM; "" is HKLM itself
  std::map<std::string, std::uint32_t> failOpen_;
  std::map<std::uintptr_t, std::string> liveKeys_;
  std::set<std::uintptr_t> liveFiles_;
  std::uintptr_t nextKey_ = 100;
  std::uintptr_t nextFile_ = 7;
};

}  // namespace uhf::test
