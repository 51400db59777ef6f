// Binding of the driver library: resolve every export up front, then forward each operation.
#include "driver/LibraryDriver.h"

#include <cstring>
#include <utility>

#include "driver/LibraryLoader.h"
#include "driver/tagvane.h"

namespace uhf {

struct LibraryDriver::Exports {
#define UHF_EXPORT_SLOT(ret, name, params, args) decltype(&::name) name = nullptr;
  TAGVANE_OPERATIONS(UHF_EXPORT_SLOT)
#undef UHF_EXPORT_SLOT
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
#define UHF_BIND(ret, name, params, args) \
  if (!Bind(handle, #name, e.name)) {     \
    return #name;                         \
  }
  TAGVANE_OPERATIONS(UHF_BIND)
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

#define UHF_FORWARD(ret, name, params, args) \
  ret LibraryDriver::name params {           \
    return exports_->name args;              \
  }
TAGVANE_OPERATIONS(UHF_FORWARD)
#undef UHF_FORWARD

}  // namespace uhf
