#include "ports/PortPlatform_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ports/SerialPorts.h"

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
  void Node(const std::string& name) { std::ofstream(root_ / "dev" / name) << ""; }
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

std::vector<SerialPortInfo> Enumerate(LinuxPortPlatform& platform, bool probe) {
  std::vector<SerialPortInfo> list;
  EnumerateSerialPorts(list, probe, platform);
  return list;
}

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

TEST_F(LinuxPorts, ListsSerialDevicesWithUsbFlagAndDisplayNames) {
  LinuxPortPlatform platform(sys.root());
  const auto list = Enumerate(platform, false);
  const std::vector<SerialPortInfo> expected = {
      {sys.DevPath("ttyACM0"), "", "cdc_acm (ttyACM0)", true, "cdc_acm"},
      {sys.DevPath("ttyS2"), "", "serial (ttyS2)", false, "serial"},
      {sys.DevPath("ttyS10"), "", "serial (ttyS10)", false, "serial"},
      {sys.DevPath("ttyUSB0"), "", "FT232R USB UART (ttyUSB0)", true, "FT232R USB UART"},
  };
  EXPECT_EQ(list, expected);
  // Device names carry no COM port name, so the selector stays empty.
  EXPECT_TRUE(PortSelectorItems(list).empty());
}

TEST_F(LinuxPorts, OpenTestKeepsOnlyNodesThatOpenAndAreNotLocked) {
  sys.Node("ttyUSB0");
  sys.Node("ttyS2");
  sys.Node("ttyS10");
  const int holder = ::open(sys.DevPath("ttyS2").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

  LinuxPortPlatform platform(sys.root());
  const auto list = Enumerate(platform, true);
  ::close(holder);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].devicePath, sys.DevPath("ttyS10"));
  EXPECT_EQ(list[1].devicePath, sys.DevPath("ttyUSB0"));

  // The test let go of every port it opened: they can be taken again.
  const int again = ::open(sys.DevPath("ttyUSB0").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(again, 0);
  EXPECT_EQ(::flock(again, LOCK_EX | LOCK_NB), 0);
  ::close(again);
}

TEST_F(LinuxPorts, LongProductNameIsCutOnACharacterBoundaryAndKeepsThePortName) {
  std::string product;
  for (int i = 0; i < 100; ++i) product += "串口";  // 600 bytes of three-byte characters
  sys.Tty("ttyUSB1", sys.UsbInterface("2-1", product));
  LinuxPortPlatform platform(sys.root());
  const auto list = Enumerate(platform, false);
  const auto it = std::find_if(list.begin(), list.end(), [&](const SerialPortInfo& p) {
    return p.devicePath == sys.DevPath("ttyUSB1");
  });
  ASSERT_NE(it, list.end());
  EXPECT_LE(it->friendlyName.size(), 255u);
  EXPECT_EQ(it->friendlyName.substr(it->friendlyName.size() - 10), " (ttyUSB1)");
  EXPECT_EQ(it->description.size() % 3, 0u);  // whole characters only
  EXPECT_EQ(product.compare(0, it->description.size(), it->description), 0);
  EXPECT_TRUE(it->isUsb);
}

TEST(LinuxPortsRoot, NoTtyClassMeansNoPorts) {
  FakeSysfs sys;
  fs::remove_all(sys.root() / "sys/class");
  LinuxPortPlatform platform(sys.root());
  EXPECT_TRUE(Enumerate(platform, false).empty());
}

TEST(LinuxPortsRoot, ThisMachineEnumeratesWithoutError) {
  std::vector<SerialPortInfo> list;
  ASSERT_NO_THROW(EnumerateSerialPorts(list, false));
  for (const SerialPortInfo& port : list) {
    EXPECT_EQ(port.devicePath.rfind("/dev/", 0), 0u) << port.devicePath;
    EXPECT_NE(port.friendlyName.find(" (" + port.devicePath.substr(5) + ")"), std::string::npos);
  }
}

}  // namespace
}  // namespace uhf
