#pragma once
// File test helpers: a directory of its own removed afterwards, and a current directory changed
// for one scope.
#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace uhf::test {

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "uhf-test") {
    path_ =
        std::filesystem::temp_directory_path() /
        (prefix + "-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter_++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  static inline std::atomic<int> counter_ = 0;
  std::filesystem::path path_;
};

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& to)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(to);
  }
  ~CurrentDirectory() { std::filesystem::current_path(saved_); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path saved_;
};

}  // namespace uhf::test
