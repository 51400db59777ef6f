// Loading the driver library on Windows. A bare name is looked for in the program's own folder,
// then in the system folder; only when neither holds one is the simulated reader taken from the
// program's "simulator" subfolder. A library that is present but fails to load is an error, never
// a reason to fall back to the simulator. The current directory and PATH are never searched: the
// tool is started from folders holding a config.ini, and a DLL planted there must not run.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "driver/LibraryDriver.h"
#include "driver/LibraryLoader.h"
#include "text/WideText.h"

namespace uhf {

std::string_view LibraryDriver::PlatformLibraryName() {
  return "tagvane.dll";
}

namespace detail {

namespace {

namespace fs = std::filesystem;

std::string Reason(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' ||
                             reason.back() == L' ' || reason.back() == L'.')) {
    reason.pop_back();
  }
  return (reason.empty() ? std::string("error") : Narrow(reason)) + " (code " +
         std::to_string(code) + ")";
}

fs::path ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return fs::path(std::wstring(buffer.data(), length)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
}

fs::path SystemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? fs::path(buffer) : fs::path();
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

// Loads a library by its full path; its own dependencies come from its folder and the system
// folder only.
HMODULE LoadByPath(const fs::path& given, std::string& reason) {
  // The search flags want a fully qualified path with backslashes.
  std::error_code ec;
  fs::path path = fs::absolute(given, ec);
  if (ec) path = given;
  path.make_preferred();
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) reason = Reason(GetLastError());
  return module;
}

}  // namespace

void* OpenSharedLibrary(const std::string& name, std::string& file, OpenFailure& failure) {
  failure = {};
  const auto open = [&](const fs::path& path) -> void* {
    std::string reason;
    HMODULE module = LoadByPath(path, reason);
    if (module == nullptr) {
      failure.file = Narrow(path.wstring());
      failure.reason = reason;
    } else {
      file = Narrow(path.wstring());
    }
    return module;
  };
  const fs::path given(Widen(name));
  if (given.has_parent_path() || given.has_root_name()) {
    if (!IsFile(given)) {
      failure.notFound = true;
      failure.reason = "no such file";
      return nullptr;
    }
    return open(given);  // an explicit path is taken as it is
  }
  const fs::path program = ProgramFolder();
  const fs::path system = SystemFolder();
  for (const fs::path& folder : {program, system}) {
    if (!folder.empty() && IsFile(folder / given)) return open(folder / given);
  }
  const fs::path simulated = program / "simulator" / given;
  if (!program.empty() && IsFile(simulated)) return open(simulated);
  failure.notFound = true;
  failure.reason = "No such file in " + Narrow(program.wstring()) + ", " +
                   Narrow(system.wstring()) + " or " + Narrow(simulated.parent_path().wstring());
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
