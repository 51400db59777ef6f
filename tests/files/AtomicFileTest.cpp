// Replacing a file's content atomically: the folder holds the old content or the new one, and
// never a temporary file afterwards, whether the write succeeded or not.
#include "files/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string Content(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(AtomicFile, WriteReplacesTheContentAndLeavesNothingElse) {
  test::TempDir dir("uhf-atomic");
  const fs::path target = dir.path() / "reader.ini";
  for (const std::string content : {"first\n", "second, longer\n", ""}) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target, content, error)) << error;
    EXPECT_EQ(Content(target), content);
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"reader.ini"});
  }
}

TEST(AtomicFile, FailedWriteLeavesNoTemporaryFile) {
  struct Row {
    const char* what;
    // Makes the write fail; returns the target.
    std::function<fs::path(const fs::path& folder)> prepare;
  } rows[] = {
      {"the target is a folder that is not empty",
       [](const fs::path& folder) {
         fs::create_directories(folder / "reader.ini" / "inside");
         return folder / "reader.ini";
       }},
      {"the target's folder cannot be made (a file stands in its way)",
       [](const fs::path& folder) {
         std::ofstream(folder / "state") << "a file\n";
         return folder / "state" / "reader.ini";
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    test::TempDir dir("uhf-atomic");
    const fs::path target = row.prepare(dir.path());
    const std::set<std::string> before = Entries(dir.path());
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(target, "content\n", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Entries(dir.path()), before);
  }
}

}  // namespace
}  // namespace uhf
