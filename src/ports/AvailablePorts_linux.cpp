#include "ports/AvailablePorts_linux.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>
#include <tuple>

namespace uhf {
namespace fs = std::filesystem;

namespace {

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

// Splits ttyS10 into ("ttyS", "10").
std::pair<std::string, std::string> SplitTrailingDigits(const std::string& name) {
  std::size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  return {name.substr(0, digits), name.substr(digits)};
}

// Orders ttyS2 before ttyS10: by the name without its trailing digits, then by their value.
bool NaturalLess(const std::string& a, const std::string& b) {
  const auto [stemA, numberA] = SplitTrailingDigits(a);
  const auto [stemB, numberB] = SplitTrailingDigits(b);
  return std::forward_as_tuple(stemA, numberA.size(), numberA) <
         std::forward_as_tuple(stemB, numberB.size(), numberB);
}

bool IsUnder(const fs::path& path, const fs::path& top) {
  auto [topEnd, pathIt] = std::mismatch(top.begin(), top.end(), path.begin(), path.end());
  return topEnd == top.end();
}

// ttyS<n> is the n + 1th on-board COM port.
std::optional<std::int32_t> ComNumber(const std::string& name) {
  const auto [stem, number] = SplitTrailingDigits(name);
  if (stem != "ttyS" || number.empty() || number.size() > 6) return std::nullopt;
  return std::stoi(number) + 1;
}

// The display text of the tty `name`, or nothing when it is no serial device (no device link, or
// a serial-core slot without a UART behind it). A USB port shows the product string of its USB
// device; any other port (or a USB device without one) the driver that serves it.
std::optional<std::string> DescribePort(const fs::path& sysRoot, const fs::path& ttyDir) {
  std::error_code ec;
  const fs::path deviceLink = ttyDir / "device";
  if (!fs::exists(deviceLink, ec)) return std::nullopt;
  if (fs::exists(ttyDir / "type", ec) && ReadAttribute(ttyDir / "type") == "0") return std::nullopt;
  const fs::path device = fs::canonical(deviceLink, ec);
  if (ec) return std::nullopt;

  fs::path usbDevice;
  std::string driver;
  for (fs::path p = device; IsUnder(p, sysRoot) && p != sysRoot; p = p.parent_path()) {
    if (usbDevice.empty() && fs::exists(p / "idVendor", ec) && fs::exists(p / "idProduct", ec)) {
      usbDevice = p;
    }
    // Neither the serial core's own port layer nor the generic USB device driver names a port.
    if (driver.empty() && LinkName(p / "subsystem") != "serial-base") {
      driver = LinkName(p / "driver");
      if (driver == "usb") driver.clear();
    }
    if (p == p.parent_path()) break;
  }
  std::string display = usbDevice.empty() ? std::string() : ReadAttribute(usbDevice / "product");
  if (display.empty()) display = driver;
  if (display.empty()) display = "Serial port";
  return display;
}

}  // namespace

std::vector<AvailablePort> AvailablePortsUnder(const fs::path& root) {
  std::error_code ec;
  const fs::path sysRoot = fs::weakly_canonical(root / "sys", ec);
  const fs::path classDir = root / "sys" / "class" / "tty";
  std::vector<std::string> names;
  fs::directory_iterator it(classDir, ec);
  // A machine without a tty class has no serial ports; anything else is a failure.
  if (ec && ec != std::errc::no_such_file_or_directory) {
    throw PortEnumerationError("Could not list " + classDir.string() + ": " + ec.message());
  }
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);

  std::vector<AvailablePort> ports;
  for (const std::string& name : names) {
    const std::optional<std::string> display = DescribePort(sysRoot, classDir / name);
    if (!display) continue;
    ports.push_back(
        {name, *display + " (" + name + ")", (root / "dev" / name).string(), ComNumber(name)});
  }
  return ports;
}

std::vector<AvailablePort> AvailablePorts() {
  return AvailablePortsUnder("/");
}

}  // namespace uhf
