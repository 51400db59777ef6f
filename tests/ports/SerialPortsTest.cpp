#include "ports/SerialPorts.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/FakePortPlatform.h"

namespace uhf {
namespace {

using test::FakeInterface;
using test::FakePortPlatform;

constexpr OsVersion kNt4{4, kPlatformWin32Nt};
constexpr OsVersion kWin9x{4, 1};

SerialPortInfo Port(std::string path, std::string name, std::string friendly, bool usb,
                    std::string description) {
  return {std::move(path), std::move(name), std::move(friendly), usb, std::move(description)};
}

std::vector<SerialPortInfo> Enumerate(FakePortPlatform& platform, bool probe = false) {
  std::vector<SerialPortInfo> list;
  EnumerateSerialPorts(list, probe, platform);
  return list;
}

// ---- device interface method ----

TEST(SerialPortsInterface, DescriptionIsCutFromDisplayNameOnlyWhenItEndsInParenthesisedName) {
  struct Case {
    std::string friendly;
    std::string deviceDesc;
    std::string description;
  };
  const std::vector<Case> cases = {
      {"Communications Port (COM1)", "", "Communications Port"},
      {"USB Serial Port (COM12)", "", "USB Serial Port"},
      {" (COM1)", "", " (COM1)"},                      // " (" at position 0
      {"Port COM1", "", "Port COM1"},                  // no " ("
      {"Modem (2) (COM4)", "", "Modem (2) (COM4)"},    // first ")" is not the last character
      {"Port (COM1) spare", "", "Port (COM1) spare"},  // ")" not at the end
      {"Port (COM1", "", "Port (COM1"},                // no ")"
      {"a) b (COM5)", "", "a) b (COM5)"},              // first ")" before " ("
      {"Port(COM6)", "", "Port(COM6)"},                // "(" without the blank
      {"Prolific Port (COM3)", "Prolific USB-to-Serial (x)", "Prolific USB-to-Serial (x)"},
  };
  for (const Case& c : cases) {
    FakePortPlatform platform;
    platform.interfaces = {{"\\\\?\\acpi#pnp0501#1#{86e0d1e0}", c.friendly, c.deviceDesc, "x"}};
    const auto list = Enumerate(platform);
    ASSERT_EQ(list.size(), 1u) << c.friendly;
    EXPECT_EQ(list[0].description, c.description) << c.friendly;
    EXPECT_EQ(list[0].friendlyName, c.friendly);
    EXPECT_EQ(list[0].portName, "");
    EXPECT_EQ(list[0].devicePath, "\\\\?\\acpi#pnp0501#1#{86e0d1e0}");
  }
}

TEST(SerialPortsInterface, UnreadableNameOrDescriptionSkipsTheInterfaceAndIndexMovesOn) {
  FakePortPlatform platform;
  platform.interfaces = {
      {"p0", std::nullopt, "desc0", "USB0"},    // no friendly name: description never read
      {"p1", "Port (COM2)", std::nullopt, ""},  // no device description
      {"p2", "Port (COM3)", "Port", std::nullopt},
      {"p3", "Port (COM4)", "Port", "USB\\VID"},
  };
  const auto list = Enumerate(platform);
  EXPECT_EQ(list, (std::vector<SerialPortInfo>{Port("p2", "", "Port (COM3)", false, "Port"),
                                               Port("p3", "", "Port (COM4)", true, "Port")}));
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> reads = {
      {0, kPropertyFriendlyName}, {0, kPropertyLocationInformation}, {1, kPropertyFriendlyName},
      {1, kPropertyDeviceDesc},   {1, kPropertyLocationInformation}, {2, kPropertyFriendlyName},
      {2, kPropertyDeviceDesc},   {2, kPropertyLocationInformation}, {3, kPropertyFriendlyName},
      {3, kPropertyDeviceDesc},   {3, kPropertyLocationInformation}};
  EXPECT_EQ(platform.propertyReads, reads);
  EXPECT_TRUE(platform.AllReleased());
}

TEST(SerialPortsInterface, UsbFlagNeedsExactlyUpperCaseUsbAtTheStart) {
  const std::vector<std::pair<std::optional<std::string>, bool>> cases = {
      {"USB", true},
      {"USB\\VID_0403&PID_6001", true},
      {"usb\\vid_0403", false},
      {"Usb", false},
      {"US", false},
      {" USB", false},
      {"", false},
      {std::nullopt, false},
  };
  for (const auto& [location, usb] : cases) {
    FakePortPlatform platform;
    platform.interfaces = {{"p", "Port (COM1)", "Port", location}};
    const auto list = Enumerate(platform);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].isUsb, usb) << location.value_or("<unreadable>");
  }
}

TEST(SerialPortsInterface, PropertyFillingItsWholeBufferIsReadWithoutOverrun) {
  FakePortPlatform platform;
  const std::string longName(256, 'N');  // no room for a terminator
  platform.interfaces = {{"p", longName, "D", "L"}};
  const auto list = Enumerate(platform);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].friendlyName, longName);
}

// ---- numbered ports ----

TEST(SerialPortsByNumber, SixteenPortsWithNamesAsDisplayNameAndDescription) {
  FakePortPlatform platform;
  platform.version = kNt4;
  const auto list = Enumerate(platform);
  ASSERT_EQ(list.size(), 16u);
  for (int n = 1; n <= 16; ++n) {
    const std::string name = "COM" + std::to_string(n);
    EXPECT_EQ(list[n - 1], Port("\\\\.\\" + name, name, name, false, name));
  }
  EXPECT_TRUE(platform.openAttempts.empty());
}

TEST(SerialPortsByNumber, MethodIsChosenByVersionAndPlatform) {
  FakePortPlatform platform;
  platform.interfaces = {{"iface", "Port (COM9)", "Port", "ACPI"}};
  platform.AddKey("Enum\\Root\\*PNP0501\\0000", {{"PORTNAME", "COM7"}});

  platform.version = {6, 1};  // anything from 5 up takes the interface class, whatever platform
  EXPECT_EQ(Enumerate(platform).at(0).devicePath, "iface");
  platform.version = {4, kPlatformWin32Nt};
  EXPECT_EQ(Enumerate(platform).size(), 16u);
  platform.version = kWin9x;
  EXPECT_EQ(Enumerate(platform).at(0).portName, "COM7");
  EXPECT_TRUE(platform.AllReleased());
}

// ---- legacy registry tree ----

TEST(SerialPortsRegistry, WalksAcceptedDevicesAndMergesByPortName) {
  FakePortPlatform platform;
  platform.version = kWin9x;
  platform.AddKey("Enum\\Root\\*PNP0501\\0000",
                  {{"PORTNAME", std::string("COM1\0", 5)},
                   {"FRIENDLYNAME", std::string("Communications Port (COM1)\0", 27)}});
  platform.AddKey("Enum\\Root\\*PNP0400\\0000", {{"PORTNAME", "LPT1"}});  // not a serial id
  platform.AddKey("Enum\\Root\\*pnp0501\\0000", {{"PORTNAME", "COM8"}});  // case matters
  platform.AddKey("Enum\\Root\\*PNP0500\\0001", {{"PORTNAME", "COM2"}});  // no display name
  platform.AddKey("Enum\\Root\\*PNP0500\\0002", {{"FRIENDLYNAME", "Orphan (COM9)"}});
  platform.AddKey("Enum\\usbports\\FTDIBUS\\0000", {{"PORTNAME", "COM6"}});
  platform.AddKey("Enum\\USBPORTS\\FTDIBUS\\0000",
                  {{"PORTNAME", "COM1"}, {"FRIENDLYNAME", "USB Serial Port (COM1)"}});
  platform.AddKey("Enum\\USBPORTS\\ANYTHING\\0000", {{"PORTNAME", "COM5"}});

  const auto list = Enumerate(platform);
  EXPECT_EQ(list,
            (std::vector<SerialPortInfo>{
                // Where COM1 was first found, with the data of the last instance.
                Port("\\\\.\\COM1", "COM1", "USB Serial Port (COM1)", true, "USB Serial Port"),
                Port("\\\\.\\COM2", "COM2", "COM2", false, "COM2"),
                Port("\\\\.\\COM5", "COM5", "COM5", true, "COM5"),
            }));
  EXPECT_TRUE(platform.AllReleased());
}

TEST(SerialPortsRegistry, ValuesThatDoNotFitOrFillTheBufferExactly) {
  FakePortPlatform platform;
  platform.version = kWin9x;
  const std::string full(128, 'P');  // fits, but with no terminator
  platform.AddKey("Enum\\Root\\*PNP0501\\0000", {{"PORTNAME", std::string(129, 'X')}});
  platform.AddKey("Enum\\Root\\*PNP0501\\0001",
                  {{"PORTNAME", full}, {"FRIENDLYNAME", std::string(129, 'F')}});
  const auto list = Enumerate(platform);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].portName, full);
  EXPECT_EQ(list[0].friendlyName, full);  // too long a display name reads as missing
  EXPECT_TRUE(platform.AllReleased());
}

TEST(SerialPortsRegistry, SubkeyNameTooLongEndsThatLevelQuietly) {
  FakePortPlatform platform;
  platform.version = kWin9x;
  platform.AddKey("Enum\\Root\\*PNP0501\\0000", {{"PORTNAME", "COM1"}});
  platform.AddKey("Enum\\Root\\" + std::string(130, 'D') + "\\0000", {{"PORTNAME", "COM2"}});
  platform.AddKey("Enum\\Root\\*PNP0500\\0000", {{"PORTNAME", "COM3"}});
  const auto list = Enumerate(platform);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].portName, "COM1");
  EXPECT_TRUE(platform.AllReleased());
}

// ---- failures ----

TEST(SerialPortsFailures, EveryFailureCarriesItsMessageAndReleasesEverything) {
  struct Case {
    const char* name;
    std::function<void(FakePortPlatform&)> script;
    std::string message;
    std::size_t recordsKept;
  };
  auto oneInterface = [](FakePortPlatform& p) {
    p.interfaces = {{"p0", "Port (COM1)", "Port", "USB"}, {"p1", "Port (COM2)", "Port", "USB"}};
  };
  auto tree = [](FakePortPlatform& p) {
    p.version = kWin9x;
    p.AddKey("Enum\\Root\\*PNP0501\\0000", {{"PORTNAME", "COM1"}});
    p.AddKey("Enum\\Root\\*PNP0501\\0001", {{"PORTNAME", "COM2"}});
    p.AddKey("Enum\\USBPORTS\\DEV\\0000", {{"PORTNAME", "COM3"}});
  };
  const std::vector<Case> cases = {
      {"version", [](FakePortPlatform& p) { p.versionError = 0x1F; },
       "Could not get OS version. (err=1f)", 0},
      {"class set", [](FakePortPlatform& p) { p.classDevsError = 0xE000020Bu; },
       "SetupDiGetClassDevs failed. (err=e000020b)", 0},
      {"enumerate",
       [&](FakePortPlatform& p) {
         oneInterface(p);
         p.enumErrorAt[1] = 0x6;
       },
       "SetupDiEnumDeviceInterfaces failed. (err=6)", 1},
      {"detail",
       [&](FakePortPlatform& p) {
         oneInterface(p);
         p.detailErrorAt[1] = 0x7A;
       },
       "SetupDiGetDeviceInterfaceDetail failed. (err=7a)", 1},
      {"path too long",
       [](FakePortPlatform& p) {
         p.interfaces = {{std::string(257, 'x'), "N", "D", "L"}};
       },
       "SetupDiGetDeviceInterfaceDetail failed. (err=7a)", 0},
      {"enum key", [](FakePortPlatform& p) { p.version = kWin9x; },
       "Could not read from HKLM\\Enum", 0},
      {"bus key",
       [&](FakePortPlatform& p) {
         tree(p);
         p.FailOpenOfKey("Enum\\USBPORTS");
       },
       "Could not read from HKLM\\Enum\\USBPORTS", 2},
      {"device key",
       [&](FakePortPlatform& p) {
         tree(p);
         p.FailOpenOfKey("Enum\\USBPORTS\\DEV");
       },
       "Could not read from HKLM\\Enum\\USBPORTS\\DEV", 2},
      {"instance key",
       [&](FakePortPlatform& p) {
         tree(p);
         p.FailOpenOfKey("Enum\\Root\\*PNP0501\\0001");
       },
       "Could not read from HKLM\\Enum\\...\\0001", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePortPlatform platform;
    c.script(platform);
    std::vector<SerialPortInfo> list = {Port("stale", "COM99", "Stale (COM99)", false, "Stale")};
    try {
      EnumerateSerialPorts(list, false, platform);
      ADD_FAILURE() << "no error raised";
    } catch (const PortEnumerationError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(list.size(), c.recordsKept);  // emptied first; what was found before stays
    EXPECT_TRUE(platform.AllReleased());
  }
}

TEST(SerialPortsFailures, EndOfInterfacesAndEmptyRegistryAreNotErrors) {
  FakePortPlatform platform;
  EXPECT_TRUE(Enumerate(platform).empty());
  platform.version = kWin9x;
  platform.AddKey("Enum");
  EXPECT_TRUE(Enumerate(platform).empty());
  EXPECT_TRUE(platform.AllReleased());
}

// ---- open test ----

TEST(SerialPortsOpenTest, RemovesEveryPortThatDoesNotOpenIncludingAdjacentOnes) {
  FakePortPlatform platform;
  platform.version = kNt4;
  platform.presentDevices = {"\\\\.\\COM1", "\\\\.\\COM4", "\\\\.\\COM16"};
  platform.busyDevices = {"\\\\.\\COM5"};  // held by someone else
  const auto list = Enumerate(platform, true);
  EXPECT_EQ(list, (std::vector<SerialPortInfo>{
                      Port("\\\\.\\COM1", "COM1", "COM1", false, "COM1"),
                      Port("\\\\.\\COM4", "COM4", "COM4", false, "COM4"),
                      Port("\\\\.\\COM16", "COM16", "COM16", false, "COM16"),
                  }));
  EXPECT_EQ(platform.openAttempts.size(), 16u);  // every port tried exactly once
  EXPECT_EQ(platform.filesOpened, 3);
  EXPECT_TRUE(platform.AllReleased());
}

// ---- records as available ports ----

TEST(AsAvailablePort, NameIsComAndTheDigitsRightAfterItAndTheNumberThoseDigits) {
  struct Case {
    std::string display;
    std::string name;
    std::optional<std::int32_t> number;
  };
  const std::vector<Case> cases = {
      {"Communications Port (COM1)", "COM1", 1},
      {"USB Serial Port (COM12)", "COM12", 12},
      {"COM3A (COM7)", "COM3", 3},  // only the first "COM" counts
      {"Modem COM", "COM", std::nullopt},
      {"Port (com4)", "", std::nullopt},  // case-sensitive
      {"Bluetooth link", "", std::nullopt},
      {"COM123456789x", "COM123456789", 123456789},
      {"COM1234567890", "COM1234567890", std::nullopt},  // beyond what OpenCom takes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.display);
    const AvailablePort port =
        AsAvailablePort(Port("\\\\?\\acpi#pnp0501", "", c.display, false, "x"));
    EXPECT_EQ(port.name, c.name);
    EXPECT_EQ(port.portNumber, c.number);
    EXPECT_EQ(port.displayName, c.display);
    EXPECT_EQ(port.devicePath, "\\\\?\\acpi#pnp0501");
  }
}

}  // namespace
}  // namespace uhf
