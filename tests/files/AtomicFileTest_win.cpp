// Windows: a file another process holds open for reading cannot be replaced until it is closed;
// a write waits for that rather than failing.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "files/AtomicFile.h"
#include "support/TempDir.h"

namespace uhf {
namespace {

TEST(AtomicFileWindows, AWriteWaitsForAReaderHoldingTheFileOpen) {
  test::TempDir dir("uhf-atomic-win");
  const std::filesystem::path target = dir.path() / "reader.ini";
  std::ofstream(target, std::ios::binary) << "old\n";
  // Opened as the C++ library opens a file for reading: no sharing that allows a replace.
  HANDLE reader =
      CreateFileW(target.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread closing([reader] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CloseHandle(reader);
  });
  std::string error;
  const bool written = WriteFileAtomically(target, "new\n", error);
  closing.join();
  EXPECT_TRUE(written) << error;
  std::ifstream in(target, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "new\n");
}

}  // namespace
}  // namespace uhf
