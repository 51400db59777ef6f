#include <windows.h>

#include <system_error>

#include "files/AtomicFile.h"
#include "text/Utf8Path.h"

namespace uhf {

namespace {

std::string Reason(DWORD code) {
  return std::system_category().message(static_cast<int>(code));
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                         std::string& error) {
  std::filesystem::path folder;
  if (!PrepareFolderOf(path, folder, error)) {
    return false;
  }

  const std::wstring temp =
      path.wstring() + L".tmp" + std::to_wstring(static_cast<unsigned long>(GetCurrentProcessId()));
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot create a temporary file in " + PathText(folder) + ": " + Reason(GetLastError());
    return false;
  }
  auto fail = [&](const std::string& what, DWORD code) {
    error = what + " " + PathText(path) + ": " + Reason(code);
    DeleteFileW(temp.c_str());
    return false;
  };
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr)) {
      const DWORD code = GetLastError();
      CloseHandle(file);
      return fail("cannot write the temporary file of", code);
    }
    data += written;
    left -= written;
  }
  if (!FlushFileBuffers(file)) {
    const DWORD code = GetLastError();
    CloseHandle(file);
    return fail("cannot flush the temporary file of", code);
  }
  CloseHandle(file);
  // Another process reading the file holds it open for a moment, and an open file cannot be
  // replaced: tried again for up to a second before giving up.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(temp.c_str(), path.wstring().c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD code = GetLastError();
    if ((code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) || attempt == 100) {
      return fail("cannot replace", code);
    }
    Sleep(10);
  }
}

}  // namespace uhf
