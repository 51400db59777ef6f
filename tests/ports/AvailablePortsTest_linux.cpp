#include "ports/AvailablePorts_linux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace uhf {
namespace {

namespace fs = std::filesystem;

// A throw-away sysfs and /dev: devices under sys/devices, class entries as relative links the
// way the kernel lays them out.
class FakeSysfs {
 public:
  FakeSysfs() {
    std::random_device seed;
    root_ = fs::temp_directory_path() / ("uhf-ports-" + std::to_string(seed()));
    fs::create_directories(root_ / "sys/class/tty");
    fs::create_directories(root_ / "sys/bus");
    fs::create_directories(root_ / "dev");
  }
  ~FakeSysfs() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  const fs::path& root() const { return root_; }

  void Write(const fs::path& relative, const std::string& text) {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative) << text;
  }
  // A link at `from` pointing to `to`, both below the root, stored relative.
  void Link(const fs::path& from, const fs::path& to) {
    const fs::path at = root_ / from;
    fs::create_directories(at.parent_path());
    fs::create_directory_symlink(fs::relative(root_ / to, at.parent_path()), at);
  }
  void Driver(const fs::path& device, const std::string& bus, const std::string& driver) {
    fs::create_directories(root_ / "sys/bus" / bus / "drivers" / driver);
    Link(device / "driver", fs::path("sys/bus") / bus / "drivers" / driver);
    Link(device / "subsystem", fs::path("sys/bus") / bus);
  }
  // The tty entry `name` whose device is `device` (empty: a virtual tty without one).
  void Tty(const std::string& name, const fs::path& device, const std::string& type = "") {
    const fs::path ttyDir =
        (device.empty() ? fs::path("sys/devices/virtual") : device) / "tty" / name;
    fs::create_directories(root_ / ttyDir);
    if (!device.empty()) Link(ttyDir / "device", device);
    if (!type.empty()) Write(ttyDir / "type", type + "\n");
    Link(fs::path("sys/class/tty") / name, ttyDir);
  }
  std::string DevPath(const std::string& name) const { return (root_ / "dev" / name).string(); }

  // A USB device with an interface, optionally a product string.
  fs::path UsbInterface(const std::string& busId, const std::string& product) {
    const fs::path device = fs::path("sys/devices/pci0000:00/0000:00:14.0/usb1") / busId;
    Write(device / "idVendor", "0403\n");
    Write(device / "idProduct", "6001\n");
    if (!product.empty()) Write(device / "product", product + "\n");
    Driver(device, "usb", "usb");
    const fs::path iface = device / (busId + ":1.0");
    fs::create_directories(root_ / iface);
    Write(iface / "bInterfaceNumber", "00\n");
    return iface;
  }

 private:
  fs::path root_;
};

class LinuxPorts : public ::testing::Test {
 protected:
  void SetUp() override {
    // USB serial converter: the tty's device is the converter's port below the interface.
    const fs::path ftdiIface = sys.UsbInterface("1-1.2", "FT232R USB UART");
    sys.Driver(ftdiIface, "usb", "ftdi_sio");
    const fs::path ftdiPort = ftdiIface / "ttyUSB0";
    sys.Driver(ftdiPort, "usb-serial", "ftdi_sio");
    sys.Tty("ttyUSB0", ftdiPort);
    // CDC modem without a product string: named by its driver.
    const fs::path acmIface = sys.UsbInterface("1-3", "");
    sys.Driver(acmIface, "usb", "cdc_acm");
    sys.Tty("ttyACM0", acmIface);
    // On-board UARTs behind the serial core's port layer; slot 1 has no UART.
    for (const std::string n : {"2", "1", "10"}) {
      const fs::path pnp = fs::path("sys/devices/pnp0/00:0" + n);
      sys.Driver(pnp, "pnp", "serial");
      const fs::path ctrl = pnp / ("00:0" + n + ":0");
      sys.Driver(ctrl, "serial-base", "ctrl");
      const fs::path port = ctrl / ("00:0" + n + ":0.0");
      sys.Driver(port, "serial-base", "port");
      sys.Tty("ttyS" + n, port, n == "1" ? "0" : "4");
    }
    sys.Tty("tty0", {});
    sys.Tty("ptmx", {});
  }

  FakeSysfs sys;
};

TEST_F(LinuxPorts, ListsSerialDevicesInNaturalOrderWithDisplayNamesAndNumbers) {
  const std::vector<AvailablePort> expected = {
      {"ttyACM0", "cdc_acm (ttyACM0)", sys.DevPath("ttyACM0"), std::nullopt},
      {"ttyS2", "serial (ttyS2)", sys.DevPath("ttyS2"), 3},
      {"ttyS10", "serial (ttyS10)", sys.DevPath("ttyS10"), 11},
      {"ttyUSB0", "FT232R USB UART (ttyUSB0)", sys.DevPath("ttyUSB0"), std::nullopt},
  };
  EXPECT_EQ(AvailablePortsUnder(sys.root()), expected);
}

TEST_F(LinuxPorts, AUsbDeviceWithoutProductOrDriverStillShowsAName) {
  sys.Tty("ttyUSB7", sys.UsbInterface("3-1", ""));
  const auto ports = AvailablePortsUnder(sys.root());
  ASSERT_EQ(ports.size(), 5u);
  EXPECT_EQ(ports[4].name, "ttyUSB7");
  EXPECT_EQ(ports[4].displayName, "Serial port (ttyUSB7)");
}

TEST(LinuxPortsRoot, NoTtyClassMeansNoPortsAnUnreadableOneIsAnError) {
  FakeSysfs sys;
  fs::remove_all(sys.root() / "sys/class");
  EXPECT_TRUE(AvailablePortsUnder(sys.root()).empty());
  sys.Write("sys/class/tty", "not a folder");
  EXPECT_THROW(AvailablePortsUnder(sys.root()), PortEnumerationError);
}

}  // namespace
}  // namespace uhf
