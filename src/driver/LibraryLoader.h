#pragma once
// The platform half of LibraryDriver: opening a shared library through the platform's library
// search, looking up an export and closing it again. One implementation per platform.

#include <string>

namespace uhf::detail {

// Why a library could not be opened.
struct OpenFailure {
  bool notFound = false;  // the search found no file of that name at all
  std::string file;       // the file that was found but failed to load (empty when notFound)
  std::string reason;     // the loader's reason
};

// Returns the library handle with `file` set to the file the loader took, or nullptr with
// `failure` filled. A bare name goes through the platform's search; the first file of that name
// the search meets is the one taken: when it fails to load, the open fails, naming it, even if a
// later folder holds one that would load.
void* OpenSharedLibrary(const std::string& name, std::string& file, OpenFailure& failure);
// Returns the address of the export, or nullptr when the library lacks it.
void* FindExport(void* handle, const char* name);
void CloseSharedLibrary(void* handle);

#ifdef _WIN32
// Takes the current folder and PATH out of the process's DLL search (SetDefaultDllDirectories),
// for the DLLs that libraries load by name; done before the first library is opened, and by the
// programs at start.
void RestrictDllSearch();
#endif

}  // namespace uhf::detail
