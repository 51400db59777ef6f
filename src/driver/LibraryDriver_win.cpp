// Shared library loading through LoadLibrary: a bare name is searched in the program's folder,
// the system folders and then on PATH.
#include <windows.h>

#include <cstring>

#include "driver/LibraryDriver.h"
#include "driver/LibraryLoader.h"

namespace uhf {

std::string_view LibraryDriver::PlatformLibraryName() {
  return "tagvane.dll";
}

namespace detail {

namespace {

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return std::string(path, length);
}

}  // namespace

void* OpenSharedLibrary(const std::string& name, std::string& file, OpenFailure& failure) {
  failure = {};
  HMODULE module = LoadLibraryA(name.c_str());
  if (module != nullptr) {
    file = ModulePath(module);
    return module;
  }
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
  failure.reason =
      (reason.empty() ? std::string("error") : reason) + " (code " + std::to_string(code) + ")";
  // The module itself not found (rather than one it needs): no file of that name on the path.
  char found[MAX_PATH] = {};
  if (SearchPathA(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr) == 0) {
    failure.notFound = true;
  } else {
    failure.file = found;
  }
  return nullptr;
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

}  // namespace detail
}  // namespace uhf
