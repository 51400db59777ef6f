// Shared library loading through dlopen: a bare name is searched on LD_LIBRARY_PATH first, then
// in the RUNPATH of the program, then in the system folders, then beside the program.
#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <system_error>

#include "driver/LibraryDriver.h"
#include "driver/LibraryLoader.h"

namespace uhf {

std::string_view LibraryDriver::PlatformLibraryName() {
  return "libtagvane.so";
}

std::filesystem::path LibraryDriver::ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : program.parent_path();
}

namespace detail {

namespace {

void* Open(const std::string& name, std::string& error) {
  dlerror();  // drop a stale message
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "unknown error";
  }
  return handle;
}

}  // namespace

void* OpenSharedLibrary(const std::string& name, std::string& error) {
  void* handle = Open(name, error);
  if (handle != nullptr || name.find('/') != std::string::npos) {
    return handle;
  }
  // Last, the program's own folder, which its RUNPATH ($ORIGIN) names: the loader applies the
  // RUNPATH of the object calling dlopen, and a runtime that wraps dlopen (the sanitizers') is
  // that caller instead of the program.
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) {
    return nullptr;
  }
  const std::filesystem::path beside = program.parent_path() / name;
  if (!std::filesystem::exists(beside, ec)) {
    return nullptr;
  }
  return Open(beside.string(), error);
}

void* FindExport(void* handle, const char* name) {
  return dlsym(handle, name);
}

void CloseSharedLibrary(void* handle) {
  dlclose(handle);
}

std::string SharedLibraryFile(void* handle) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
    return {};
  }
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::canonical(map->l_name, ec);
  return ec ? std::string(map->l_name) : canonical.string();
}

}  // namespace detail
}  // namespace uhf
