// Where config.ini is looked for, and files that must not be read, on POSIX systems.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "text/Profile.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;
using test::CurrentDirectory;
using test::TempDir;

TEST(ProfileLoad, FifoWithoutWriterGivesTheDefaults) {
  TempDir dir;
  // A FIFO with no writer would block a plain read.
  const fs::path fifo = dir.path() / "fifo.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Profile::Load(fifo).GetString("Lan", "RF_HZ", "kHz", 200), "kHz");
}

// Makes a directory below `base` whose path has exactly `length` bytes.
fs::path NestedDirectoryOfLength(const fs::path& base, std::size_t length) {
  std::string path = base.string();
  while (path.size() < length) {
    const std::size_t room = length - path.size() - 1;  // one byte for the separator
    // Keep every component between 1 and 60 bytes and never leave a remainder of 0.
    std::size_t part = room > 60 ? 50 : room;
    if (part == 0) part = 1;
    path += "/" + std::string(part, 'd');
  }
  fs::create_directories(path);
  return path;
}

TEST(ConfigIniPath, IsInTheCurrentDirectoryWhileItFits) {
  TempDir dir;
  {
    CurrentDirectory cd(dir.path());
    const auto path = ConfigIniPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, fs::current_path() / "config.ini");
  }
  const fs::path real = fs::canonical(dir.path());
  ASSERT_LT(real.string().size(), 200u);
  {
    CurrentDirectory cd(NestedDirectoryOfLength(real, kConfigDirMaxBytes));
    ASSERT_EQ(fs::current_path().string().size(), 244u);
    const auto path = ConfigIniPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->filename(), "config.ini");
  }
  {
    CurrentDirectory cd(NestedDirectoryOfLength(real / "x", kConfigDirMaxBytes + 1));
    ASSERT_EQ(fs::current_path().string().size(), 245u);
    EXPECT_FALSE(ConfigIniPath().has_value());
  }
  {
    CurrentDirectory cd(NestedDirectoryOfLength(real / "y", 1000));
    EXPECT_FALSE(ConfigIniPath().has_value());
  }
}

}  // namespace
}  // namespace uhf
