// Binding the driver library: missing library or export is refused with a clear text, and the
// simulated library built beside the tests is found by name and answers through the binding.
#include "driver/LibraryDriver.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace uhf {
namespace {

constexpr std::uint8_t kBus = ReaderBusAddress;

TEST(LibraryDriver, MissingExportIsNamed) {
  struct Row {
    const char* library;
    const char* missing;
  } rows[] = {{STUB_NO_BUZZER, "UhfSetBuzzer"},
              {STUB_NO_OPENCOM_NO_BUZZER, "OpenCom"},  // the first one missing
              {STUB_NO_A_HEX, "a_hex"}};
  for (const Row& row : rows) {
    std::string error;
    EXPECT_EQ(LibraryDriver::Load(row.library, error), nullptr);
    EXPECT_EQ(error, std::string(row.library) + ": missing export \"" + row.missing + "\"");
  }
}

TEST(LibraryDriver, MissingLibraryIsNamedWithTheReason) {
  std::string error;
  LibraryDriver::Failure failure = LibraryDriver::Failure::None;
  EXPECT_EQ(LibraryDriver::Load("libtagvane-absent.so", error, &failure), nullptr);
  EXPECT_EQ(failure, LibraryDriver::Failure::NotFound);
  EXPECT_NE(error.find("libtagvane-absent.so"), std::string::npos) << error;
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

// A file named by its path that exists but cannot be loaded is named with the loader's reason,
// never reported as a library not found.
TEST(LibraryDriver, BrokenLibraryGivenByPathSaysWhyItCannotBeLoaded) {
  test::TempDir dir("uhf-broken-driver");
  const std::filesystem::path junk = dir.path() / "junk-library";
  std::ofstream(junk) << "not a library\n";
  struct Row {
    std::filesystem::path file;
    const char* reason;
  } rows[] = {
#ifdef _WIN32
      {junk, ""},
#else
      {junk, "not an ELF shared library"},
      {STUB_MISSING_DEPENDENCY, "libtagvane_gone"},
      {STUB_WRONG_MACHINE, "built for another machine: ELF machine 183,"},
#endif
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_EQ(LibraryDriver::LoadFile(row.file, error), nullptr);
    const std::string named =
        "cannot load the driver library " + std::filesystem::absolute(row.file).string() + ": ";
    EXPECT_EQ(error.rfind(named, 0), 0u) << error;
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
}

TEST(LibraryDriver, EveryOperationForwardsToItsOwnExport) {
  std::string error = "stale";
  auto driver = LibraryDriver::Load(STUB_COMPLETE, error);
  ASSERT_NE(driver, nullptr) << error;
  EXPECT_EQ(error, "");
  EXPECT_FALSE(driver->Simulated());  // a replacement carries no marker
  std::uint8_t byte = 0, bytes[256] = {};
  std::int32_t number = 0;
  char text[32] = {};
  ReaderDriver& d = *driver;
  const std::int32_t statuses[] = {
      d.OpenCom(100, 0),
      d.Net_Connect("1.2.3.4", 1, "1.2.3.5", 2),
      d.CloseCom(),
      d.Handshake(kBus, 1, &byte, &byte),
      d.Get_Version(kBus, text),
      d.Get_SerNum(kBus, bytes),
      d.UhfGetAddress(kBus, &byte),
      d.UhfSetAddress(kBus, 1),
      d.UhfGetWorkMode(kBus, &byte),
      d.UhfSetWorkMode(kBus, 0),
      d.UhfGetTriggerTime(kBus, &byte),
      d.UhfSetTriggerTime(kBus, 2),
      d.UhfGetWgIntervalTime(kBus, &byte),
      d.UhfSetWgIntervalTime(kBus, 2),
      d.UhfGetWeigand(kBus, &byte),
      d.UhfSetWeigand(kBus, 0x26),
      d.UhfGetReadTagIntervalTime(kBus, &byte),
      d.UhfSetReadTagIntervalTime(kBus, 5),
      d.UhfGetOutPower(kBus, &byte),
      d.UhfSetOutPower(kBus, 33),
      d.UhfGetBuzzer(kBus, &byte),
      d.UhfSetBuzzer(kBus, 1),
      d.UhfGetWgOutByte(kBus, bytes),
      d.UhfSetWgOutByte(kBus, bytes),
      d.UhfGetPassword(kBus, &byte, bytes),
      d.UhfSetPassword(kBus, 1, bytes),
      d.UhfGetFrequencyRegion(kBus, &byte, &number, &number, &number, &byte),
      d.UhfSetFrequencyRegion(kBus, 4, 902000, 926000, 500, 48),
      d.UhfSetFrequencyRegionB(kBus, 4, 902000, 926000, 500, 48),
      d.UhfFactoryDefault(kBus),
      d.UhfReadTag(kBus, bytes, &byte),
      d.EpcOutput(bytes, 12, 0, 0, 3, bytes),
      d.hex_a(bytes, text, 2),
      d.a_hex("00", bytes, 2)};
  ASSERT_EQ(std::size(statuses), 34u);
  for (std::size_t i = 0; i < std::size(statuses); ++i) {
    EXPECT_EQ(statuses[i], 100 + static_cast<std::int32_t>(i)) << "operation " << i;
  }
}

// Where the build puts the simulated library: beside the program, and on Windows in the
// program's "simulator" folder.
std::filesystem::path SimulatedLibraryFolder() {
#ifdef _WIN32
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  return std::filesystem::path(program).parent_path() / "simulator";
#else
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
}

// The simulated library the build made, found by name through the platform's search.
TEST(LibraryDriver, SimulatedLibraryAnswersThroughTheBinding) {
  namespace fs = std::filesystem;
  static const fs::path state =
      fs::temp_directory_path() /
      ("uhf-driver-test-" + std::to_string(std::random_device{}()) + ".ini");
  setenv("TAGVANE_SIM_STATE", state.string().c_str(), 1);  // before the library's first call

  std::string error;
  LibraryDriver::Failure failure = LibraryDriver::Failure::Unusable;
  auto driver = LibraryDriver::Load(LibraryDriver::PlatformLibraryName(), error, &failure);
  ASSERT_NE(driver, nullptr) << error;
  EXPECT_EQ(failure, LibraryDriver::Failure::None);
  // It says it is the simulated reader, and which file the search took: the one beside us.
  EXPECT_TRUE(driver->Simulated());
  EXPECT_EQ(fs::path(driver->File()).filename(), LibraryDriver::PlatformLibraryName());
  EXPECT_TRUE(fs::equivalent(fs::path(driver->File()).parent_path(), SimulatedLibraryFolder()));
  EXPECT_NE(driver->UhfSetOutPower(kBus, 21), 0) << "no link yet";
  ASSERT_EQ(driver->OpenCom(100, 115200), 0);
  std::uint8_t kind = 9, extra = 0, power = 0;
  ASSERT_EQ(driver->Handshake(kBus, 1, &kind, &extra), 0);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(driver->UhfSetOutPower(kBus, 21), 0);
  EXPECT_NE(driver->UhfSetOutPower(kBus, 34), 0);
  ASSERT_EQ(driver->UhfGetOutPower(kBus, &power), 0);
  EXPECT_EQ(power, 21);
  char version[30] = {};
  ASSERT_EQ(driver->Get_Version(kBus, version), 0);
  EXPECT_STRNE(version, "");
  EXPECT_EQ(driver->CloseCom(), 0);

  std::stringstream text;
  {
    std::ifstream in(state);  // closed before the file is removed (Windows refuses otherwise)
    text << in.rdbuf();
  }
  EXPECT_NE(text.str().find("outPower=21\n"), std::string::npos) << text.str();
  driver.reset();
  fs::remove(state);
}

}  // namespace
}  // namespace uhf
