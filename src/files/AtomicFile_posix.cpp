#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "files/AtomicFile.h"

namespace uhf {

namespace {

std::string Reason(int code) {
  return std::generic_category().message(code);
}

bool WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                         std::string& error) {
  std::filesystem::path folder;
  if (!PrepareFolderOf(path, folder, error)) {
    return false;
  }

  // Appended piece by piece: GCC 12 reports a false -Wrestrict on chained string + at -O3.
  std::string name = ".";
  name += path.filename().string();
  name += ".XXXXXX";
  std::string temp = (folder / name).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot create a temporary file in " + folder.string() + ": " + Reason(errno);
    return false;
  }
  auto fail = [&](const std::string& what, int code) {
    error = what + ": " + Reason(code);
    ::unlink(temp.c_str());
    return false;
  };
  if (!WriteAll(fd, content)) {
    const int code = errno;
    ::close(fd);
    return fail("cannot write " + temp, code);
  }
  if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) {
    const int code = errno;
    ::close(fd);
    return fail("cannot flush " + temp, code);
  }
  if (::close(fd) != 0) {
    const int code = errno;
    return fail("cannot close " + temp, code);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int code = errno;
    return fail("cannot rename " + temp + " to " + path.string(), code);
  }
  // Make the rename itself durable; a failure here leaves the new content in place.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace uhf
