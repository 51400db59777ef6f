#pragma once
// Advisory locks that several processes take on one file, and appends of whole lines under such
// a lock, so that lines written by processes at the same time neither interleave nor get lost.
// flock on POSIX systems, LockFileEx on Windows.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace uhf {

// An exclusive lock on `path` (created when missing), held until the object is destroyed.
class FileLock {
 public:
  // Blocks until the lock is granted. nullptr with `error` set when the file cannot be opened.
  static std::unique_ptr<FileLock> Acquire(const std::filesystem::path& path, std::string& error);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  explicit FileLock(void* handle) : handle_(handle) {}
  void* handle_;  // file descriptor or HANDLE
};

// Appends `line` and a line break to the end of `path` (created when missing) in one write made
// under an exclusive lock of the file; `headerWhenEmpty`, when given, goes first as a line of its
// own if the file is empty. Earlier content is never rewritten. False with `error` set when the
// file cannot be opened or written.
bool AppendLineLocked(const std::filesystem::path& path, std::string_view line, std::string& error,
                      std::string_view headerWhenEmpty = {});

}  // namespace uhf
