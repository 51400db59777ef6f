#pragma once
// The platform half of LibraryDriver: opening a shared library through the platform's library
// search, looking up an export and closing it again. One implementation per platform.

#include <string>

namespace uhf::detail {

// Returns the library handle, or nullptr with `error` set to the platform's reason.
void* OpenSharedLibrary(const std::string& name, std::string& error);
// Returns the address of the export, or nullptr when the library lacks it.
void* FindExport(void* handle, const char* name);
void CloseSharedLibrary(void* handle);
// The file an open library was loaded from; empty when the platform cannot tell.
std::string SharedLibraryFile(void* handle);

}  // namespace uhf::detail
