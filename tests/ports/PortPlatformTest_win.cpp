// The system's own discovery backend on Windows: names the registry holds in Chinese come back as
// UTF-8, whatever the ANSI code page (the ANSI calls gave "?" or GBK bytes).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ports/PortPlatform.h"

namespace uhf {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\uhf-port-platform-test";

class RegistryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY device = nullptr;
    const std::wstring name = std::wstring(kTestKey) + L"\\USB\\\u4E32\u53E3 0001";  // 串口
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &device, nullptr),
              ERROR_SUCCESS);
    const std::wstring friendly = L"USB \u4E32\u884C\u8BBE\u5907 (COM3)";  // USB 串行设备 (COM3)
    RegSetValueExW(device, L"FRIENDLYNAME", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(friendly.c_str()),
                   static_cast<DWORD>((friendly.size() + 1) * sizeof(wchar_t)));
    const std::wstring port = L"COM3";
    RegSetValueExW(device, L"PORTNAME", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                   static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(device);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey); }
};

TEST_F(RegistryFixture, SubkeyNamesAndValuesComeBackAsUtf8) {
  PortPlatform& platform = DefaultPortPlatform();
  RegistryKey bus{};
  ASSERT_TRUE(platform.OpenKey(kLocalMachineKey, "Software\\uhf-port-platform-test\\USB", bus));
  char name[128] = {};
  ASSERT_TRUE(platform.EnumSubkey(bus, 0, name, sizeof name));
  EXPECT_EQ(std::string(name), "串口 0001");
  EXPECT_FALSE(platform.EnumSubkey(bus, 1, name, sizeof name));
  EXPECT_EQ(platform.LastError(), kErrorNoMoreItems);

  RegistryKey device{};
  ASSERT_TRUE(platform.OpenKey(bus, name, device));  // a Chinese name opens the key it names
  char value[128] = {};
  std::size_t bytes = sizeof value;
  ASSERT_TRUE(platform.QueryValue(device, "FRIENDLYNAME", value, bytes));
  EXPECT_EQ(std::string(value), "USB 串行设备 (COM3)");
  EXPECT_EQ(bytes, std::string("USB 串行设备 (COM3)").size() + 1);
  bytes = sizeof value;
  ASSERT_TRUE(platform.QueryValue(device, "PORTNAME", value, bytes));
  EXPECT_EQ(std::string(value), "COM3");

  // A value whose UTF-8 does not fit is refused, not cut.
  char small[8] = {};
  bytes = sizeof small;
  EXPECT_FALSE(platform.QueryValue(device, "FRIENDLYNAME", small, bytes));
  platform.CloseKey(device);
  platform.CloseKey(bus);
}

}  // namespace
}  // namespace uhf
