// Shared library loading through LoadLibrary: a bare name is searched in the program's folder,
// the system folders and then on PATH.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "driver/LibraryDriver.h"
#include "driver/LibraryLoader.h"

namespace uhf {

std::string_view LibraryDriver::PlatformLibraryName() {
  return "tagvane.dll";
}

std::filesystem::path LibraryDriver::ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length =
      GetModuleFileNameW(nullptr, path, static_cast<DWORD>(sizeof path / sizeof path[0]));
  if (length == 0 || length >= sizeof path / sizeof path[0]) return {};
  return std::filesystem::path(std::wstring(path, length)).parent_path();
}

namespace detail {

void* OpenSharedLibrary(const std::string& name, std::string& error) {
  HMODULE module = LoadLibraryA(name.c_str());
  if (module == nullptr) {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 && text != nullptr ? std::string(text, length) : "";
    if (text != nullptr) {
      LocalFree(text);
    }
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                               reason.back() == ' ' || reason.back() == '.')) {
      reason.pop_back();
    }
    error =
        (reason.empty() ? std::string("error") : reason) + " (code " + std::to_string(code) + ")";
  }
  return module;
}

void* FindExport(void* handle, const char* name) {
  FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), name);
  void* result = nullptr;
  static_assert(sizeof result == sizeof address);
  std::memcpy(&result, &address, sizeof result);
  return result;
}

void CloseSharedLibrary(void* handle) {
  FreeLibrary(static_cast<HMODULE>(handle));
}

std::string SharedLibraryFile(void* handle) {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(handle), path,
                                          static_cast<DWORD>(sizeof path / sizeof path[0]));
  if (length == 0 || length >= sizeof path / sizeof path[0]) return {};
  return std::filesystem::path(std::wstring(path, length)).string();
}

}  // namespace detail
}  // namespace uhf
