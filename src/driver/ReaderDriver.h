#pragma once
// The C++ face of the reader driver library: the 34 operations under their export names, with
// the library's own argument lists, so a caller's sequence of calls maps one to one onto the
// library's.

#include <cstdint>

#include "driver/tagvane_operations.h"

namespace uhf {

// Bus address passed first to every addressed operation. The address stored in the reader is a
// setting only.
inline constexpr std::uint8_t ReaderBusAddress = 255;

class ReaderDriver {
 public:
  virtual ~ReaderDriver() = default;

#define UHF_PURE_OPERATION(ret, name, params, args) virtual ret name params = 0;
  TAGVANE_OPERATIONS(UHF_PURE_OPERATION)
#undef UHF_PURE_OPERATION
};

// Declares every operation as an override, in a class that implements them all.
#define UHF_OPERATION_OVERRIDE(ret, name, params, args) ret name params override;
#define UHF_READER_DRIVER_OVERRIDES TAGVANE_OPERATIONS(UHF_OPERATION_OVERRIDE)

}  // namespace uhf
