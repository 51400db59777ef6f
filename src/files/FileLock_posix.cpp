// File locks through flock: the lock belongs to the open file description, so it is released
// when the descriptor is closed, also when the process dies.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "files/FileLock.h"

namespace uhf {
namespace {

int OpenFor(const std::filesystem::path& path, int flags, std::string& error) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CREAT | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) error = "cannot open " + path.string() + ": " + std::strerror(errno);
  return fd;
}

bool LockExclusive(int fd, const std::filesystem::path& path, std::string& error) {
  int result;
  do {
    result = ::flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) error = "cannot lock " + path.string() + ": " + std::strerror(errno);
  return result == 0;
}

void* ToHandle(int fd) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(fd));
}
int ToFd(void* handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Acquire(const std::filesystem::path& path, std::string& error) {
  const int fd = OpenFor(path, O_RDWR, error);
  if (fd < 0) return nullptr;
  if (!LockExclusive(fd, path, error)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileLock>(new FileLock(ToHandle(fd)));
}

FileLock::~FileLock() {
  ::close(ToFd(handle_));  // releases the lock
}

bool AppendLineLocked(const std::filesystem::path& path, std::string_view line, std::string& error,
                      std::string_view headerWhenEmpty) {
  const int fd = OpenFor(path, O_WRONLY | O_APPEND, error);
  if (fd < 0) return false;
  if (!LockExclusive(fd, path, error)) {
    ::close(fd);
    return false;
  }
  std::string whole;
  struct stat status {};
  if (!headerWhenEmpty.empty() && ::fstat(fd, &status) == 0 && status.st_size == 0) {
    whole += headerWhenEmpty;
    whole += '\n';
  }
  whole += line;
  whole += '\n';
  const char* data = whole.data();
  std::size_t left = whole.size();
  bool ok = true;
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = "cannot write " + path.string() + ": " + std::strerror(errno);
      ok = false;
      break;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  ::close(fd);
  return ok;
}

}  // namespace uhf
