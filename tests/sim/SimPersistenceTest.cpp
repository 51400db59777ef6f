// The simulated reader's settings survive in its state file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "sim/SimStateFile.h"
#include "sim/SimulatedReader.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;
constexpr std::uint8_t kBus = ReaderBusAddress;

class SimPersistence : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("uhf-sim-test-" + std::to_string(std::random_device{}()) +
                                     "-" + std::to_string(std::random_device{}()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = folder_ / "reader.ini";
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
  fs::path path_;
};

TEST_F(SimPersistence, SettingsMadeInOneInstanceAreReadByTheNext) {
  {
    SimulatedReader first(SimOptions{path_, 0, false});
    ASSERT_EQ(first.OpenCom(100, 115200), 0);
    const std::uint8_t password[4] = {0xca, 0xfe, 0x00, 0x01};
    ASSERT_EQ(first.UhfSetOutPower(kBus, 20), 0);
    ASSERT_EQ(first.UhfSetAddress(kBus, 7), 0);
    ASSERT_EQ(first.UhfSetPassword(kBus, 1, password), 0);
    ASSERT_EQ(first.UhfSetFrequencyRegion(kBus, 4, 903000, 907000, 500, 8), 0);
  }
  SimulatedReader second(SimOptions{path_, 2, true});  // kind and band of a new file only
  ASSERT_EQ(second.OpenCom(100, 115200), 0);
  std::uint8_t power = 0, address = 0, kind = 9, extra = 0, enabled = 0, password[4] = {};
  std::uint8_t form = 0, count = 0;
  std::int32_t start = 0, end = 0, step = 0;
  ASSERT_EQ(second.Handshake(kBus, 1, &kind, &extra), 0);
  ASSERT_EQ(second.UhfGetOutPower(kBus, &power), 0);
  ASSERT_EQ(second.UhfGetAddress(kBus, &address), 0);
  ASSERT_EQ(second.UhfGetPassword(kBus, &enabled, password), 0);
  ASSERT_EQ(second.UhfGetFrequencyRegion(kBus, &form, &start, &end, &step, &count), 0);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(power, 20);
  EXPECT_EQ(address, 7);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(password[0], 0xca);
  EXPECT_EQ(password[3], 0x01);
  EXPECT_EQ(start, 903000);
  EXPECT_EQ(end, 907000);
  EXPECT_EQ(count, 8);
}

TEST_F(SimPersistence, FactoryDefaultIsStoredToo) {
  {
    SimulatedReader first(SimOptions{path_, 1, true});
    ASSERT_EQ(first.OpenCom(100, 0), 0);
    ASSERT_EQ(first.UhfSetOutPower(kBus, 18), 0);
    ASSERT_EQ(first.UhfFactoryDefault(kBus), 0);
  }
  SimulatedReader second(SimOptions{path_, 0, false});
  EXPECT_EQ(second.State(), FactoryState(1, true));
}

TEST_F(SimPersistence, NoFileMeansAFactoryReaderOfTheGivenKind) {
  SimulatedReader reader(SimOptions{path_, 2, false});
  EXPECT_EQ(reader.State(), FactoryState(2, false));
  EXPECT_FALSE(fs::exists(path_)) << "reading alone writes nothing";
}

TEST_F(SimPersistence, CorruptOrUnreadableFileGivesFactoryStateAndOneLine) {
  const std::string contents[] = {"garbage\n", "readerKind=1\n", std::string("\0\1\2\3", 4),
                                  FormatSimState(FactoryState(2, false)) + "outPower=x\n"};
  for (const std::string& content : contents) {
    WriteFile(content);
    testing::internal::CaptureStderr();
    SimulatedReader reader(SimOptions{path_, 1, true});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(reader.State(), FactoryState(1, true));
    EXPECT_NE(err.find(path_.string()), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }

  fs::remove(path_);
  fs::create_directory(path_);  // a folder where the file should be
  testing::internal::CaptureStderr();
  SimulatedReader reader(SimOptions{path_, 0, true});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(reader.State(), FactoryState(0, true));
  EXPECT_NE(err.find(path_.string()), std::string::npos) << err;
}

TEST_F(SimPersistence, WritesLeaveOnlyTheStateFile) {
  SimulatedReader reader(SimOptions{path_, 0, false});
  ASSERT_EQ(reader.OpenCom(100, 115200), 0);
  for (std::uint8_t power = 0; power <= 33; ++power) {
    ASSERT_EQ(reader.UhfSetOutPower(kBus, power), 0);
  }
  // Beside the state only its lock file, which processes sharing the state take for each write.
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"reader.ini", "reader.ini.lock"}));
  SimState onDisk;
  std::string error;
  ASSERT_EQ(ReadSimStateFile(path_, onDisk, error), StateFileResult::Loaded) << error;
  EXPECT_EQ(onDisk, reader.State());
}

TEST_F(SimPersistence, MissingFoldersAreCreated) {
  const fs::path nested = folder_ / "a" / "b" / "reader.ini";
  SimulatedReader reader(SimOptions{nested, 0, false});
  ASSERT_EQ(reader.OpenCom(100, 115200), 0);
  ASSERT_EQ(reader.UhfSetBuzzer(kBus, 0), 0);
  EXPECT_TRUE(fs::is_regular_file(nested));
}

TEST_F(SimPersistence, AFailedWriteIsAFailedSetting) {
  WriteFile("not a folder");
  const fs::path impossible = path_ / "reader.ini";  // below a regular file
  SimulatedReader reader(SimOptions{impossible, 0, false});
  ASSERT_EQ(reader.OpenCom(100, 115200), 0);
  const SimState before = reader.State();
  testing::internal::CaptureStderr();
  EXPECT_NE(reader.UhfSetOutPower(kBus, 20), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(reader.State(), before);
}

}  // namespace
}  // namespace uhf
