// The simulated reader's state file is readable by everyone, as files a user makes are: other
// users' processes simulate the same reader.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "sim/SimulatedReader.h"
#include "support/TempDir.h"

namespace uhf {
namespace {

TEST(SimStateFile, WrittenWithMode0644) {
  test::TempDir dir("uhf-sim-mode");
  const std::filesystem::path path = dir.path() / "reader.ini";
  SimulatedReader reader(SimOptions{path, 0, false});
  ASSERT_EQ(reader.OpenCom(100, 115200), 0);
  for (std::uint8_t power : {std::uint8_t{20}, std::uint8_t{21}}) {  // made, then replaced
    ASSERT_EQ(reader.UhfSetOutPower(ReaderBusAddress, power), 0);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "power " << int{power};
  }
}

}  // namespace
}  // namespace uhf
