// Where config.ini is looked for, and files that must not be read, on Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "text/Profile.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;
using test::CurrentDirectory;
using test::TempDir;

TEST(ProfileLoad, PipeWithoutWriterAndDevicesGiveTheDefaults) {
  // A named pipe nobody writes to would block a plain read.
  const std::wstring name = L"\\\\.\\pipe\\uhf-profile-" + std::to_wstring(GetCurrentProcessId());
  HANDLE pipe = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096,
                                 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Profile::Load(fs::path(name)).GetString("Lan", "RF_HZ", "kHz", 200), "kHz");
  CloseHandle(pipe);
  EXPECT_EQ(Profile::Load(fs::path(L"NUL")).GetString("Lan", "RF_HZ", "kHz", 200), "kHz");
}

// Makes a directory below `base` whose path has exactly `length` characters.
fs::path NestedDirectoryOfLength(const fs::path& base, std::size_t length) {
  std::wstring path = base.native();
  while (path.size() < length) {
    const std::size_t room = length - path.size() - 1;  // one for the separator
    std::size_t part = room > 60 ? 50 : room;
    if (part == 0) part = 1;
    path += L"\\" + std::wstring(part, L'd');
  }
  fs::create_directories(path);
  return path;
}

// Windows paths stop at 260 characters, so only the edge of the 244 limit can be tried.
TEST(ConfigIniPath, IsInTheCurrentDirectoryWhileItFits) {
  TempDir dir;
  const fs::path real = fs::canonical(dir.path());
  ASSERT_LT(real.native().size(), 200u);
  {
    CurrentDirectory cd(NestedDirectoryOfLength(real, kConfigDirMaxBytes));
    ASSERT_EQ(fs::current_path().native().size(), 244u);
    const auto path = ConfigIniPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, fs::current_path() / "config.ini");
  }
  {
    CurrentDirectory cd(NestedDirectoryOfLength(real / "x", kConfigDirMaxBytes + 1));
    ASSERT_EQ(fs::current_path().native().size(), 245u);
    EXPECT_FALSE(ConfigIniPath().has_value());
  }
}

}  // namespace
}  // namespace uhf
