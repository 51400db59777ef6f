// File locks through LockFileEx on the whole file; closing the handle releases the lock.
#include <windows.h>

#include <string>

#include "files/FileLock.h"
#include "text/Utf8Path.h"

namespace uhf {
namespace {

std::string LastErrorText(const char* what, const std::filesystem::path& path) {
  return std::string(what) + " " + PathText(path) + " (error " + std::to_string(GetLastError()) +
         ")";
}

HANDLE OpenFor(const std::filesystem::path& path, DWORD access, std::string& error) {
  HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) error = LastErrorText("cannot open", path);
  return file;
}

bool LockExclusive(HANDLE file, const std::filesystem::path& path, std::string& error) {
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    error = LastErrorText("cannot lock", path);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Acquire(const std::filesystem::path& path, std::string& error) {
  HANDLE file = OpenFor(path, GENERIC_READ | GENERIC_WRITE, error);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (!LockExclusive(file, path, error)) {
    CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<FileLock>(new FileLock(file));
}

FileLock::~FileLock() {
  CloseHandle(static_cast<HANDLE>(handle_));  // releases the lock
}

bool AppendLineLocked(const std::filesystem::path& path, std::string_view line, std::string& error,
                      std::string_view headerWhenEmpty) {
  // Without FILE_WRITE_DATA every write goes to the end of the file; LockFileEx needs the read
  // right beside it.
  HANDLE file = OpenFor(path, FILE_APPEND_DATA | GENERIC_READ, error);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (!LockExclusive(file, path, error)) {
    CloseHandle(file);
    return false;
  }
  std::string whole;
  LARGE_INTEGER size{};
  if (!headerWhenEmpty.empty() && GetFileSizeEx(file, &size) && size.QuadPart == 0) {
    whole += headerWhenEmpty;
    whole += "\r\n";
  }
  whole += line;
  whole += "\r\n";
  const char* data = whole.data();
  DWORD left = static_cast<DWORD>(whole.size());
  bool ok = true;
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(file, data, left, &written, nullptr)) {
      error = LastErrorText("cannot write", path);
      ok = false;
      break;
    }
    data += written;
    left -= written;
  }
  OVERLAPPED whole_file{};
  UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole_file);
  CloseHandle(file);
  return ok;
}

}  // namespace uhf
