// Shared library loading through dlopen. A bare name is searched as the loader does: the folders
// of LD_LIBRARY_PATH, then the program's own folder (its RUNPATH, $ORIGIN), then the system's
// library folders. The search is also walked here, file by file, because the loader passes over a
// file of the wrong architecture without a word and reports a missing file when it meets none it
// can use: both would let a library further down (the simulated reader beside the program) stand
// in for the one the operator put first.
//
// Only when the whole search meets no file of that name is the installed simulated reader taken
// from its private folder (UHF_PRIVATE_DRIVER_DIR, relative to the program's folder). It is not on
// the RUNPATH: the loader searches the RUNPATH before the system's folders, and a vendor library
// installed there must win.
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "driver/ElfHeader.h"
#include "driver/LibraryDriver.h"
#include "driver/LibraryLoader.h"

namespace uhf {

std::string_view LibraryDriver::PlatformLibraryName() {
  return "libtagvane.so";
}

namespace detail {

namespace fs = std::filesystem;

namespace {

void* Open(const std::string& path, std::string& reason) {
  dlerror();  // drop a stale message
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* text = dlerror();
    reason = text != nullptr ? text : "unknown error";
  }
  return handle;
}

std::string LoadedPath(void* handle) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
    return {};
  }
  return map->l_name;
}

// Folders named in a colon- or semicolon-separated list; an empty entry is the current folder.
void AddPathList(std::string_view list, std::vector<fs::path>& folders) {
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = list.find_first_of(":;", start);
    const std::string_view entry =
        list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    folders.emplace_back(entry.empty() ? fs::path(".") : fs::path(entry));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

// The system's folders: those listed in /etc/ld.so.conf.d, then the built-in ones.
void AddSystemFolders(std::vector<fs::path>& folders) {
  std::error_code ec;
  std::vector<fs::path> confs;
  for (fs::directory_iterator it("/etc/ld.so.conf.d", ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().extension() == ".conf") confs.push_back(it->path());
  }
  std::sort(confs.begin(), confs.end());
  for (const fs::path& conf : confs) {
    std::ifstream in(conf);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.front() == '/') folders.emplace_back(line);
    }
  }
  for (const char* folder : {"/lib64", "/usr/lib64", "/lib", "/usr/lib"}) {
    folders.emplace_back(folder);
  }
}

std::optional<fs::path> ProgramFolder() {
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return std::nullopt;
  return program.parent_path();
}

// The first file of that name on the search path, or nothing.
std::optional<fs::path> FirstOnSearchPath(const std::string& name) {
  std::vector<fs::path> folders;
  if (const char* list = std::getenv("LD_LIBRARY_PATH"); list != nullptr && *list != '\0') {
    AddPathList(list, folders);
  }
  if (const auto beside = ProgramFolder()) folders.push_back(*beside);
  AddSystemFolders(folders);
  for (const fs::path& folder : folders) {
    std::error_code ec;
    const fs::path candidate = folder / name;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

// The loader says "No such file or directory" of a file that exists but was built for another
// machine; the file's ELF header, compared with the program's own, says what is wrong.
std::string ExplainUnloadable(const fs::path& file, const std::string& reason) {
  const auto header = [](const fs::path& path) {
    std::string bytes(kElfHeaderBytes, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
  };
  return reason + ElfMismatch(header(file), header("/proc/self/exe"));
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void* OpenSharedLibrary(const std::string& name, std::string& file, OpenFailure& failure) {
  failure = {};
  std::string reason;
  if (name.find('/') != std::string::npos) {
    void* handle = Open(name, reason);
    if (handle != nullptr) {
      file = LoadedPath(handle);
      return handle;
    }
    std::error_code ec;
    failure.notFound = !fs::exists(name, ec);
    failure.file = failure.notFound ? std::string() : name;
    failure.reason = failure.notFound ? reason : ExplainUnloadable(name, reason);
    return nullptr;
  }

  const std::optional<fs::path> first = FirstOnSearchPath(name);
  void* handle = Open(name, reason);
  if (handle != nullptr) {
    const std::string loaded = LoadedPath(handle);
    // The loader found a file: taken unless it passed over the first one of the search.
    if (!first || SameFile(*first, loaded)) {
      file = loaded;
      return handle;
    }
    dlclose(handle);
  }
  if (!first) {
    const auto program = ProgramFolder();
    const fs::path fallback =
        program ? (*program / UHF_PRIVATE_DRIVER_DIR).lexically_normal() : fs::path();
    std::error_code ec;
    if (program && fs::is_regular_file(fallback / name, ec)) {
      handle = Open((fallback / name).string(), reason);
      if (handle == nullptr) {
        failure.file = (fallback / name).string();
        failure.reason = ExplainUnloadable(fallback / name, reason);
        return nullptr;
      }
      file = LoadedPath(handle);
      return handle;
    }
    failure.notFound = true;
    failure.reason = reason;
    if (program) failure.reason += " (nor in " + fallback.string() + ")";
    return nullptr;
  }
  // Open the first file by its path: it loads (a sanitizer runtime calling dlopen hides the
  // program's RUNPATH from the loader), or the loader says why it cannot.
  handle = Open(first->string(), reason);
  if (handle == nullptr) {
    failure.file = first->string();
    failure.reason = ExplainUnloadable(*first, reason);
    return nullptr;
  }
  file = LoadedPath(handle);
  return handle;
}

void* FindExport(void* handle, const char* name) {
  return dlsym(handle, name);
}

void CloseSharedLibrary(void* handle) {
  dlclose(handle);
}

}  // namespace detail
}  // namespace uhf
