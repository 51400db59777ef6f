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

  std::int32_t OpenCom(std::int32_t port, std::int32_t baud) override;
  std::int32_t Net_Connect(const char* hostIp, std::int32_t hostPort, const char* readerIp,
                           std::int32_t readerPort) override;
  std::int32_t CloseCom() override;
  std::int32_t Handshake(std::uint8_t addr, std::uint8_t connecting, std::uint8_t* readerKind,
                         std::uint8_t* extra) override;
  std::int32_t Get_Version(std::uint8_t addr, char* version) override;
  std::int32_t Get_SerNum(std::uint8_t addr, std::uint8_t* serial) override;
  std::int32_t UhfGetAddress(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetAddress(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWorkMode(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetTriggerTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWgIntervalTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWeigand(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWeigand(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetReadTagIntervalTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetOutPower(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetOutPower(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetBuzzer(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) override;
  std::int32_t UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) override;
  std::int32_t UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                              std::uint8_t* password) override;
  std::int32_t UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                              const std::uint8_t* password) override;
  std::int32_t UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form, std::int32_t* start,
                                     std::int32_t* end, std::int32_t* step,
                                     std::uint8_t* count) override;
  std::int32_t UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                     std::int32_t end, std::int32_t step,
                                     std::uint8_t count) override;
  std::int32_t UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                      std::int32_t end, std::int32_t step,
                                      std::uint8_t count) override;
  std::int32_t UhfFactoryDefault(std::uint8_t addr) override;
  std::int32_t UhfReadTag(std::uint8_t addr, std::uint8_t* reply, std::uint8_t* length) override;
  std::int32_t EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength, std::uint8_t inverted,
                         std::int32_t startByte, std::int32_t length, std::uint8_t* out) override;
  std::int32_t hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) override;
  std::int32_t a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) override;

  struct Exports;  // the resolved function pointers

 private:
  LibraryDriver(void* handle, std::unique_ptr<Exports> exports, std::string file, bool simulated);

  void* handle_;
  std::unique_ptr<Exports> exports_;
  std::string file_;
  bool simulated_ = false;
};

}  // namespace uhf
