#pragma once
// The operations as values: one enumerator per operation of the driver library, in the order of
// its interface, with the export name of each.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "driver/tagvane_operations.h"

namespace uhf {

enum class Operation {
#define UHF_OPERATION_ENUMERATOR(ret, name, params, args) name,
  TAGVANE_OPERATIONS(UHF_OPERATION_ENUMERATOR)
#undef UHF_OPERATION_ENUMERATOR
};

inline constexpr std::array<std::string_view, 34> kOperationNames = {
#define UHF_OPERATION_NAME(ret, name, params, args) #name,
    TAGVANE_OPERATIONS(UHF_OPERATION_NAME)
#undef UHF_OPERATION_NAME
};
static_assert(!kOperationNames.back().empty(), "the list holds 34 operations");

inline constexpr std::string_view OperationName(Operation operation) {
  return kOperationNames[static_cast<std::size_t>(operation)];
}

// The operation exported under `name`, or nothing.
inline std::optional<Operation> OperationNamed(std::string_view name) {
  for (std::size_t i = 0; i < kOperationNames.size(); ++i) {
    if (kOperationNames[i] == name) return static_cast<Operation>(i);
  }
  return std::nullopt;
}

}  // namespace uhf
