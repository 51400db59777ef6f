// Binding of the driver library: resolve every export up front, then forward each operation.
#include "driver/LibraryDriver.h"

#include <cstring>
#include <utility>

#include "driver/LibraryLoader.h"
#include "driver/tagvane.h"

namespace uhf {

struct LibraryDriver::Exports {
  decltype(&::OpenCom) OpenCom = nullptr;
  decltype(&::Net_Connect) Net_Connect = nullptr;
  decltype(&::CloseCom) CloseCom = nullptr;
  decltype(&::Handshake) Handshake = nullptr;
  decltype(&::Get_Version) Get_Version = nullptr;
  decltype(&::Get_SerNum) Get_SerNum = nullptr;
  decltype(&::UhfGetAddress) UhfGetAddress = nullptr;
  decltype(&::UhfSetAddress) UhfSetAddress = nullptr;
  decltype(&::UhfGetWorkMode) UhfGetWorkMode = nullptr;
  decltype(&::UhfSetWorkMode) UhfSetWorkMode = nullptr;
  decltype(&::UhfGetTriggerTime) UhfGetTriggerTime = nullptr;
  decltype(&::UhfSetTriggerTime) UhfSetTriggerTime = nullptr;
  decltype(&::UhfGetWgIntervalTime) UhfGetWgIntervalTime = nullptr;
  decltype(&::UhfSetWgIntervalTime) UhfSetWgIntervalTime = nullptr;
  decltype(&::UhfGetWeigand) UhfGetWeigand = nullptr;
  decltype(&::UhfSetWeigand) UhfSetWeigand = nullptr;
  decltype(&::UhfGetReadTagIntervalTime) UhfGetReadTagIntervalTime = nullptr;
  decltype(&::UhfSetReadTagIntervalTime) UhfSetReadTagIntervalTime = nullptr;
  decltype(&::UhfGetOutPower) UhfGetOutPower = nullptr;
  decltype(&::UhfSetOutPower) UhfSetOutPower = nullptr;
  decltype(&::UhfGetBuzzer) UhfGetBuzzer = nullptr;
  decltype(&::UhfSetBuzzer) UhfSetBuzzer = nullptr;
  decltype(&::UhfGetWgOutByte) UhfGetWgOutByte = nullptr;
  decltype(&::UhfSetWgOutByte) UhfSetWgOutByte = nullptr;
  decltype(&::UhfGetPassword) UhfGetPassword = nullptr;
  decltype(&::UhfSetPassword) UhfSetPassword = nullptr;
  decltype(&::UhfGetFrequencyRegion) UhfGetFrequencyRegion = nullptr;
  decltype(&::UhfSetFrequencyRegion) UhfSetFrequencyRegion = nullptr;
  decltype(&::UhfSetFrequencyRegionB) UhfSetFrequencyRegionB = nullptr;
  decltype(&::UhfFactoryDefault) UhfFactoryDefault = nullptr;
  decltype(&::UhfReadTag) UhfReadTag = nullptr;
  decltype(&::EpcOutput) EpcOutput = nullptr;
  decltype(&::hex_a) hex_a = nullptr;
  decltype(&::a_hex) a_hex = nullptr;
};

namespace {

template <typename Fn>
bool Bind(void* handle, const char* name, Fn& slot) {
  void* address = detail::FindExport(handle, name);
  if (address == nullptr) {
    return false;
  }
  static_assert(sizeof slot == sizeof address);
  std::memcpy(&slot, &address,
              sizeof slot);  // object pointer to function pointer, as dlsym intends
  return true;
}

// Resolves the exports in the order of the C interface; returns the first one missing, or
// nullptr when all were found.
const char* BindAll(void* handle, LibraryDriver::Exports& e) {
#define UHF_BIND(name)                \
  if (!Bind(handle, #name, e.name)) { \
    return #name;                     \
  }
  UHF_BIND(OpenCom)
  UHF_BIND(Net_Connect)
  UHF_BIND(CloseCom)
  UHF_BIND(Handshake)
  UHF_BIND(Get_Version)
  UHF_BIND(Get_SerNum)
  UHF_BIND(UhfGetAddress)
  UHF_BIND(UhfSetAddress)
  UHF_BIND(UhfGetWorkMode)
  UHF_BIND(UhfSetWorkMode)
  UHF_BIND(UhfGetTriggerTime)
  UHF_BIND(UhfSetTriggerTime)
  UHF_BIND(UhfGetWgIntervalTime)
  UHF_BIND(UhfSetWgIntervalTime)
  UHF_BIND(UhfGetWeigand)
  UHF_BIND(UhfSetWeigand)
  UHF_BIND(UhfGetReadTagIntervalTime)
  UHF_BIND(UhfSetReadTagIntervalTime)
  UHF_BIND(UhfGetOutPower)
  UHF_BIND(UhfSetOutPower)
  UHF_BIND(UhfGetBuzzer)
  UHF_BIND(UhfSetBuzzer)
  UHF_BIND(UhfGetWgOutByte)
  UHF_BIND(UhfSetWgOutByte)
  UHF_BIND(UhfGetPassword)
  UHF_BIND(UhfSetPassword)
  UHF_BIND(UhfGetFrequencyRegion)
  UHF_BIND(UhfSetFrequencyRegion)
  UHF_BIND(UhfSetFrequencyRegionB)
  UHF_BIND(UhfFactoryDefault)
  UHF_BIND(UhfReadTag)
  UHF_BIND(EpcOutput)
  UHF_BIND(hex_a)
  UHF_BIND(a_hex)
#undef UHF_BIND
  return nullptr;
}

}  // namespace

std::unique_ptr<LibraryDriver> LibraryDriver::Load(std::string_view name, std::string& error,
                                                   Failure* failure) {
  const std::string libraryName(name);
  std::string file;
  detail::OpenFailure openFailure;
  void* handle = detail::OpenSharedLibrary(libraryName, file, openFailure);
  if (handle == nullptr) {
    error = openFailure.notFound
                ? "cannot find the driver library " + libraryName + ": " + openFailure.reason
                : "cannot load the driver library " + openFailure.file + ": " + openFailure.reason;
    if (failure != nullptr) *failure = openFailure.notFound ? Failure::NotFound : Failure::Unusable;
    return nullptr;
  }
  if (file.empty()) file = libraryName;
  auto exports = std::make_unique<Exports>();
  if (const char* missing = BindAll(handle, *exports)) {
    detail::CloseSharedLibrary(handle);
    error = file + ": missing export \"" + missing + "\"";
    if (failure != nullptr) *failure = Failure::Unusable;
    return nullptr;
  }
  const bool simulated = detail::FindExport(handle, kSimulatedMarker) != nullptr;
  error.clear();
  if (failure != nullptr) *failure = Failure::None;
  return std::unique_ptr<LibraryDriver>(
      new LibraryDriver(handle, std::move(exports), std::move(file), simulated));
}

std::unique_ptr<LibraryDriver> LibraryDriver::LoadFile(const std::filesystem::path& file,
                                                       std::string& error) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  if (ec) absolute = file;
  // A name with a directory part is opened as it is; the platform's search is not used.
  return Load(absolute.string(), error);
}

LibraryDriver::LibraryDriver(void* handle, std::unique_ptr<Exports> exports, std::string file,
                             bool simulated)
    : handle_(handle),
      exports_(std::move(exports)),
      file_(std::move(file)),
      simulated_(simulated) {}

LibraryDriver::~LibraryDriver() {
  detail::CloseSharedLibrary(handle_);
}

std::int32_t LibraryDriver::OpenCom(std::int32_t port, std::int32_t baud) {
  return exports_->OpenCom(port, baud);
}
std::int32_t LibraryDriver::Net_Connect(const char* hostIp, std::int32_t hostPort,
                                        const char* readerIp, std::int32_t readerPort) {
  return exports_->Net_Connect(hostIp, hostPort, readerIp, readerPort);
}
std::int32_t LibraryDriver::CloseCom() {
  return exports_->CloseCom();
}
std::int32_t LibraryDriver::Handshake(std::uint8_t addr, std::uint8_t connecting,
                                      std::uint8_t* readerKind, std::uint8_t* extra) {
  return exports_->Handshake(addr, connecting, readerKind, extra);
}
std::int32_t LibraryDriver::Get_Version(std::uint8_t addr, char* version) {
  return exports_->Get_Version(addr, version);
}
std::int32_t LibraryDriver::Get_SerNum(std::uint8_t addr, std::uint8_t* serial) {
  return exports_->Get_SerNum(addr, serial);
}
std::int32_t LibraryDriver::UhfGetAddress(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetAddress(addr, value);
}
std::int32_t LibraryDriver::UhfSetAddress(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetAddress(addr, value);
}
std::int32_t LibraryDriver::UhfGetWorkMode(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetWorkMode(addr, value);
}
std::int32_t LibraryDriver::UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetWorkMode(addr, value);
}
std::int32_t LibraryDriver::UhfGetTriggerTime(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetTriggerTime(addr, value);
}
std::int32_t LibraryDriver::UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetTriggerTime(addr, value);
}
std::int32_t LibraryDriver::UhfGetWgIntervalTime(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetWgIntervalTime(addr, value);
}
std::int32_t LibraryDriver::UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetWgIntervalTime(addr, value);
}
std::int32_t LibraryDriver::UhfGetWeigand(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetWeigand(addr, value);
}
std::int32_t LibraryDriver::UhfSetWeigand(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetWeigand(addr, value);
}
std::int32_t LibraryDriver::UhfGetReadTagIntervalTime(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetReadTagIntervalTime(addr, value);
}
std::int32_t LibraryDriver::UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetReadTagIntervalTime(addr, value);
}
std::int32_t LibraryDriver::UhfGetOutPower(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetOutPower(addr, value);
}
std::int32_t LibraryDriver::UhfSetOutPower(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetOutPower(addr, value);
}
std::int32_t LibraryDriver::UhfGetBuzzer(std::uint8_t addr, std::uint8_t* value) {
  return exports_->UhfGetBuzzer(addr, value);
}
std::int32_t LibraryDriver::UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) {
  return exports_->UhfSetBuzzer(addr, value);
}
std::int32_t LibraryDriver::UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) {
  return exports_->UhfGetWgOutByte(addr, record);
}
std::int32_t LibraryDriver::UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) {
  return exports_->UhfSetWgOutByte(addr, record);
}
std::int32_t LibraryDriver::UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                                           std::uint8_t* password) {
  return exports_->UhfGetPassword(addr, enabled, password);
}
std::int32_t LibraryDriver::UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                           const std::uint8_t* password) {
  return exports_->UhfSetPassword(addr, enabled, password);
}
std::int32_t LibraryDriver::UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form,
                                                  std::int32_t* start, std::int32_t* end,
                                                  std::int32_t* step, std::uint8_t* count) {
  return exports_->UhfGetFrequencyRegion(addr, form, start, end, step, count);
}
std::int32_t LibraryDriver::UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                                  std::int32_t start, std::int32_t end,
                                                  std::int32_t step, std::uint8_t count) {
  return exports_->UhfSetFrequencyRegion(addr, form, start, end, step, count);
}
std::int32_t LibraryDriver::UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                                   std::int32_t start, std::int32_t end,
                                                   std::int32_t step, std::uint8_t count) {
  return exports_->UhfSetFrequencyRegionB(addr, form, start, end, step, count);
}
std::int32_t LibraryDriver::UhfFactoryDefault(std::uint8_t addr) {
  return exports_->UhfFactoryDefault(addr);
}
std::int32_t LibraryDriver::UhfReadTag(std::uint8_t addr, std::uint8_t* reply,
                                       std::uint8_t* length) {
  return exports_->UhfReadTag(addr, reply, length);
}
std::int32_t LibraryDriver::EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength,
                                      std::uint8_t inverted, std::int32_t startByte,
                                      std::int32_t length, std::uint8_t* out) {
  return exports_->EpcOutput(epc, epcLength, inverted, startByte, length, out);
}
std::int32_t LibraryDriver::hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) {
  return exports_->hex_a(bytes, text, textLength);
}
std::int32_t LibraryDriver::a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) {
  return exports_->a_hex(text, bytes, textLength);
}

}  // namespace uhf
