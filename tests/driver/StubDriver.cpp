// A stand-in driver library for the binding tests: every function of the C interface with its
// real signature, each returning its own status (STUB_STATUS + its place in the interface) and
// writing nothing. The build hides some exports of some copies to make libraries that lack them.
#include "driver/tagvane.h"

#ifndef STUB_STATUS
#define STUB_STATUS 100
#endif

namespace {

enum Place {
#define UHF_STUB_PLACE(ret, name, params, args) kPlaceOf##name,
  TAGVANE_OPERATIONS(UHF_STUB_PLACE)
#undef UHF_STUB_PLACE
};

template <typename... Args>
void Unused(const Args&...) {}

}  // namespace

#define UHF_STUB(ret, name, params, args)    \
  TAGVANE_API ret TAGVANE_CALL name params { \
    Unused args;                             \
    return STUB_STATUS + kPlaceOf##name;     \
  }

extern "C" {
TAGVANE_OPERATIONS(UHF_STUB)
}  // extern "C"
