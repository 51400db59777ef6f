#pragma once
// The driver library bound at run time: every operation forwards to the export of the same name
// in a shared library with the C interface of tagvane.h. All 34 exports are resolved when the
// library is loaded, so a library that lacks one is refused before anything talks to a reader.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "driver/ReaderDriver.h"

namespace uhf {

class LibraryDriver final : public ReaderDriver {
 public:
  // The library's name on this platform ("libtagvane.so" or "tagvane.dll"), to be found through
  // the platform's own library search.
  static std::string_view PlatformLibraryName();

  // The data symbol by which the simulated reader's library says it is simulated.
  static constexpr const char* kSimulatedMarker = "tagvane_simulated_reader";

  enum class Failure {
    None,
    NotFound,  // the search found no library of that name at all
    Unusable,  // a file was found but does not load, or lacks an export
  };

  // Loads `name` (a bare name goes through the platform's library search) and resolves every
  // export. On failure returns nullptr and sets `error` to a one-line text naming the library
  // file that could not be loaded with the loader's reason, or the first export it lacks; and
  // `failure`, when given, to the kind of failure.
  static std::unique_ptr<LibraryDriver> Load(std::string_view name, std::string& error,
                                             Failure* failure = nullptr);
  // Loads exactly the library file `file` (a relative path is taken from the current directory,
  // never searched for).
  static std::unique_ptr<LibraryDriver> LoadFile(const std::filesystem::path& file,
                                                 std::string& error);

  // The file the loader took.
  const std::string& File() const { return file_; }
  // Whether the library is the simulated reader (it carries the marker).
  bool Simulated() const { return simulated_; }

  ~LibraryDriver() override;
  LibraryDriver(const LibraryDriver&) = delete;
  LibraryDriver& operator=(const LibraryDriver&) = delete;

  UHF_READER_DRIVER_OVERRIDES

  struct Exports;  // the resolved function pointers

 private:
  LibraryDriver(void* handle, std::unique_ptr<Exports> exports, std::string file, bool simulated);

  void* handle_;
  std::unique_ptr<Exports> exports_;
  std::string file_;
  bool simulated_ = false;
};

}  // namespace uhf
