#include "ports/PortPlatform_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <system_error>
#include <tuple>
#include <vector>

namespace uhf {
namespace fs = std::filesystem;

namespace {

// Windows-style codes, so that messages and the end-of-list test read the same on every backend.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;

// The detail buffer starts with a 32-bit size member, the path follows.
constexpr std::size_t kDetailHeader = 4;

std::uint32_t CodeFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return kErrorFileNotFound;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case EBUSY:
    case EWOULDBLOCK:
      return kErrorSharingViolation;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case ENAMETOOLONG:
      return kErrorInsufficientBuffer;
    default:
      return kErrorGenFailure;
  }
}

struct PortEntry {
  std::string name;          // ttyUSB0
  std::string friendlyName;  // FT232R USB UART (ttyUSB0)
  std::string description;   // FT232R USB UART
  std::string location;      // USB 1-1.2, or the bus and device the port hangs on
};

struct PortSet {
  std::vector<PortEntry> entries;
};

PortSet* AsSet(DeviceInfoSet set) {
  if (set == kInvalidDeviceInfoSet) return nullptr;
  return reinterpret_cast<PortSet*>(static_cast<std::uintptr_t>(set));
}

std::uint32_t LoadIndex(const unsigned char* bytes) {
  std::uint32_t index = 0;
  std::memcpy(&index, bytes, sizeof index);
  return index;
}
void StoreIndex(unsigned char* bytes, std::uint32_t index) {
  std::memcpy(bytes, &index, sizeof index);
}

// The first line of a small sysfs attribute, without its line end; empty when unreadable.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (in) std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

std::string LinkName(const fs::path& link) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(link, ec);
  return ec ? std::string() : target.filename().string();
}

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string CutUtf8(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// Orders ttyS2 before ttyS10: by the name without its trailing digits, then by their value.
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    std::size_t digits = s.size();
    while (digits > 0 && s[digits - 1] >= '0' && s[digits - 1] <= '9') --digits;
    const std::string number = s.substr(digits);
    return std::make_tuple(s.substr(0, digits), number.size(), number);
  };
  return split(a) < split(b);
}

bool IsUnder(const fs::path& path, const fs::path& top) {
  auto [topEnd, pathIt] = std::mismatch(top.begin(), top.end(), path.begin(), path.end());
  return topEnd == top.end();
}

// Describes the tty `name`, or returns false when it is no serial device (no device link, or a
// serial-core slot without a UART behind it).
bool DescribePort(const fs::path& sysRoot, const fs::path& ttyDir, const std::string& name,
                  PortEntry& entry) {
  std::error_code ec;
  const fs::path deviceLink = ttyDir / "device";
  if (!fs::exists(deviceLink, ec)) return false;
  if (fs::exists(ttyDir / "type", ec) && ReadAttribute(ttyDir / "type") == "0") return false;

  const fs::path device = fs::canonical(deviceLink, ec);
  if (ec) return false;

  // The USB device the port passes through, if any, and the first driver that is not the
  // serial core's own port layer.
  fs::path usbDevice;
  std::string driver;
  std::string bus;
  for (fs::path p = device; IsUnder(p, sysRoot) && p != sysRoot; p = p.parent_path()) {
    if (usbDevice.empty() && fs::exists(p / "idVendor", ec) && fs::exists(p / "idProduct", ec)) {
      usbDevice = p;
    }
    const std::string subsystem = LinkName(p / "subsystem");
    if (driver.empty() && subsystem != "serial-base") {
      driver = LinkName(p / "driver");
      if (!driver.empty()) bus = subsystem + " " + p.filename().string();
    }
    if (p == p.parent_path()) break;
  }

  std::string display;
  if (!usbDevice.empty()) {
    display = ReadAttribute(usbDevice / "product");
    entry.location = "USB " + usbDevice.filename().string();
  } else {
    entry.location = bus;
  }
  if (display.empty()) display = driver;
  if (display.empty()) display = "Serial port";

  const std::string suffix = " (" + name + ")";
  // Both texts must fit a 256-byte property buffer with its terminating zero.
  if (suffix.size() >= 255) return false;
  entry.description = CutUtf8(display, 255 - suffix.size());
  entry.friendlyName = entry.description + suffix;
  entry.location = CutUtf8(entry.location, 255);
  entry.name = name;
  return true;
}

}  // namespace

LinuxPortPlatform::LinuxPortPlatform(std::filesystem::path root) : root_(std::move(root)) {}

bool LinuxPortPlatform::GetVersion(OsVersion& version) {
  // Present as a system that has the device interface class, so that method is taken.
  version.majorVersion = 5;
  version.platformId = kPlatformWin32Nt;
  return true;
}

DeviceInfoSet LinuxPortPlatform::OpenComPortInterfaces() {
  auto set = std::make_unique<PortSet>();
  std::error_code ec;
  const fs::path sysRoot = fs::weakly_canonical(root_ / "sys", ec);
  const fs::path classDir = root_ / "sys" / "class" / "tty";
  fs::directory_iterator it(classDir, ec);
  if (ec) {
    // A machine without a tty class has no serial ports; anything else is a failure.
    if (ec == std::errc::no_such_file_or_directory) {
      return DeviceInfoSet{reinterpret_cast<std::uintptr_t>(set.release())};
    }
    lastError_ = CodeFromErrno(ec.value());
    return kInvalidDeviceInfoSet;
  }
  std::vector<std::string> names;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  for (const std::string& name : names) {
    PortEntry entry;
    if (DescribePort(sysRoot, classDir / name, name, entry)) {
      set->entries.push_back(std::move(entry));
    }
  }
  return DeviceInfoSet{reinterpret_cast<std::uintptr_t>(set.release())};
}

bool LinuxPortPlatform::EnumInterface(DeviceInfoSet set, std::uint32_t index,
                                      InterfaceRecord& iface) {
  const PortSet* ports = AsSet(set);
  if (ports == nullptr) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  if (index >= ports->entries.size()) {
    lastError_ = kErrorNoMoreItems;
    return false;
  }
  StoreIndex(iface.bytes, index);
  return true;
}

char* LinuxPortPlatform::AllocInterfaceDetail(std::size_t bytes) {
  char* detail = new char[std::max(bytes, kDetailHeader)]();
  const std::uint32_t sizeMember = kDetailHeader;
  std::memcpy(detail, &sizeMember, sizeof sizeMember);
  return detail;
}

void LinuxPortPlatform::FreeInterfaceDetail(char* detail) noexcept {
  delete[] detail;
}

bool LinuxPortPlatform::GetInterfaceDetail(DeviceInfoSet set, const InterfaceRecord& iface,
                                           char* detail, std::size_t bytes, DeviceRecord& device) {
  const PortSet* ports = AsSet(set);
  const std::uint32_t index = LoadIndex(iface.bytes);
  if (ports == nullptr || detail == nullptr || index >= ports->entries.size()) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  const std::string path = (root_ / "dev" / ports->entries[index].name).string();
  if (bytes < kDetailHeader || path.size() + 1 > bytes - kDetailHeader) {
    lastError_ = kErrorInsufficientBuffer;
    return false;
  }
  std::memcpy(detail + kDetailHeader, path.c_str(), path.size() + 1);
  StoreIndex(device.bytes, index);
  return true;
}

std::string LinuxPortPlatform::DetailDevicePath(const char* detail, std::size_t bytes) {
  if (detail == nullptr || bytes <= kDetailHeader) return {};
  const char* path = detail + kDetailHeader;
  return std::string(path, strnlen(path, bytes - kDetailHeader));
}

bool LinuxPortPlatform::GetDeviceProperty(DeviceInfoSet set, DeviceRecord& device,
                                          std::uint32_t property, char* buffer, std::size_t bytes) {
  const PortSet* ports = AsSet(set);
  const std::uint32_t index = LoadIndex(device.bytes);
  if (ports == nullptr || buffer == nullptr || index >= ports->entries.size()) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  const PortEntry& entry = ports->entries[index];
  const std::string* value = nullptr;
  switch (property) {
    case kPropertyFriendlyName:
      value = &entry.friendlyName;
      break;
    case kPropertyDeviceDesc:
      value = &entry.description;
      break;
    case kPropertyLocationInformation:
      value = &entry.location;
      break;
    default:
      break;
  }
  if (value == nullptr || value->empty()) {
    lastError_ = kErrorInvalidParameter;  // no such property on this device
    return false;
  }
  if (value->size() + 1 > bytes) {
    lastError_ = kErrorInsufficientBuffer;
    return false;
  }
  std::memcpy(buffer, value->c_str(), value->size() + 1);
  return true;
}

void LinuxPortPlatform::DestroyDeviceInfoSet(DeviceInfoSet set) noexcept {
  delete AsSet(set);
}

bool LinuxPortPlatform::OpenKey(RegistryKey, const std::string&, RegistryKey&) {
  lastError_ = kErrorFileNotFound;  // there is no registry here
  return false;
}

bool LinuxPortPlatform::EnumSubkey(RegistryKey, std::uint32_t, char*, std::size_t) {
  lastError_ = kErrorNoMoreItems;
  return false;
}

bool LinuxPortPlatform::QueryValue(RegistryKey, const char*, char*, std::size_t&) {
  lastError_ = kErrorFileNotFound;
  return false;
}

void LinuxPortPlatform::CloseKey(RegistryKey) noexcept {}

FileHandle LinuxPortPlatform::OpenDeviceExclusive(const std::string& path) {
  // Non-blocking, so a serial line without carrier does not hold the open. A port another
  // program holds in exclusive mode refuses the open; one it holds locked fails the lock.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    lastError_ = CodeFromErrno(errno);
    return kInvalidFileHandle;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    lastError_ = CodeFromErrno(errno);
    ::close(fd);
    return kInvalidFileHandle;
  }
  return FileHandle{static_cast<std::uintptr_t>(fd)};
}

void LinuxPortPlatform::CloseDevice(FileHandle file) noexcept {
  if (file != kInvalidFileHandle) ::close(static_cast<int>(static_cast<std::uintptr_t>(file)));
}

PortPlatform& DefaultPortPlatform() {
  static LinuxPortPlatform platform;
  return platform;
}

}  // namespace uhf
