// Loading the driver library on Windows. A bare name is looked for in the program's own folder,
// then in the system folder; only when neither holds one is the simulated reader taken from the
// program's "simulator" subfolder. A library that is present but fails to load is an error, never
// a reason to fall back to the simulator. The current directory and PATH are never searched: the
// tool is started from folders holding a config.ini, and a DLL planted there must not run.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "driver/LibraryDriver.h"
#include "driver/LibraryLoader.h"
#include "driver/PeImage.h"
#include "text/WideText.h"

namespace uhf {

std::string_view LibraryDriver::PlatformLibraryName() {
  return "tagvane.dll";
}

namespace detail {

namespace {

namespace fs = std::filesystem;

// The system's text for an error code, its inserts (the "%1" of "%1 is not a valid Win32
// application") filled with `insert`: asked for without inserts, then filled here, as an argument
// list cannot be known to match the inserts of every message.
std::string Reason(DWORD code, const std::wstring& insert) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::wstring raw = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
  if (text != nullptr) LocalFree(text);
  std::wstring reason;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != L'%' || i + 1 == raw.size()) {
      reason += raw[i];
      continue;
    }
    const wchar_t next = raw[++i];
    if (next >= L'1' && next <= L'9') {
      while (i + 1 < raw.size() && raw[i + 1] >= L'0' && raw[i + 1] <= L'9') ++i;
      // A printf-style format ("%1!s!") goes with its insert.
      if (i + 1 < raw.size() && raw[i + 1] == L'!') {
        const std::size_t close = raw.find(L'!', i + 2);
        if (close != std::wstring::npos) i = close;
      }
      reason += insert;
    } else if (next == L'n' || next == L'r' || next == L't') {
      reason += L' ';
    } else if (next == L'0') {
      break;
    } else {
      reason += next;  // "%%", "%.", "%!"
    }
  }
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

std::string FileBytes(const fs::path& path) {
  constexpr std::uintmax_t kLargest = 256u << 20;
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kLargest) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// Whether the loader finds the DLL `name` that a library in `folder` imports: an API set the
// system resolves, a module already loaded, or a file beside the library or in the system folder.
// `beside` is set to the file found beside the library.
bool DependencyFound(const std::string& name, const fs::path& folder, fs::path& beside) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower.rfind("api-ms-", 0) == 0 || lower.rfind("ext-ms-", 0) == 0) return true;
  const std::wstring wide = Widen(name);
  beside = folder / wide;
  if (IsFile(beside)) return true;
  beside.clear();
  return GetModuleHandleW(wide.c_str()) != nullptr || IsFile(SystemFolder() / wide);
}

// The first DLL in the import tables of `library`, and of the DLLs beside it that it imports,
// that the loader cannot find, with the library that imports it; empty when all are found.
std::string MissingDependency(const fs::path& library, int depth = 0) {
  const auto image = ReadPeImage(FileBytes(library));
  if (!image || depth > 8) return {};
  for (const std::string& name : image->imports) {
    fs::path beside;
    if (!DependencyFound(name, library.parent_path(), beside)) {
      return depth == 0 ? name : name + " (for " + Narrow(library.filename().wstring()) + ")";
    }
    if (!beside.empty()) {
      std::string deeper = MissingDependency(beside, depth + 1);
      if (!deeper.empty()) return deeper;
    }
  }
  return {};
}

// What the loader's reason leaves out, told from the DLL's file: the other width, or the
// dependency that is missing.
std::string Explain(const fs::path& library, DWORD code) {
  const auto image = ReadPeImage(FileBytes(library));
  if (!image) return code == ERROR_BAD_EXE_FORMAT ? " (not a DLL)" : "";
  const std::string mismatch = PeMachineMismatch(image->machine, ProgramPeMachine());
  if (!mismatch.empty()) return mismatch;
  if (code == ERROR_MOD_NOT_FOUND) {
    const std::string missing = MissingDependency(library);
    if (!missing.empty()) {
      return " (it needs " + missing + ", which is neither beside it nor in the system folder)";
    }
  }
  return {};
}

}  // namespace

// The DLLs a vendor library loads by name come from the program's folder, the system folder and
// the folders added for the process: never the current folder or PATH.
void RestrictDllSearch() {
  static const bool restricted = SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS) != 0;
  (void)restricted;
}

namespace {

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
  if (module == nullptr) {
    const DWORD code = GetLastError();
    reason = Reason(code, path.filename().wstring()) + Explain(path, code);
  }
  return module;
}

}  // namespace

void* OpenSharedLibrary(const std::string& name, std::string& file, OpenFailure& failure) {
  RestrictDllSearch();
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
