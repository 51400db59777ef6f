#pragma once
// What a Windows DLL's file says of itself, read from its bytes on any platform: the machine it
// was built for (the PE header's machine field) and the DLLs its import table names. The Windows
// loader tells neither when it refuses a DLL: "not a valid Win32 application" for a DLL of the
// other width, "module not found" without the module's name for a missing dependency.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uhf {

inline constexpr std::uint16_t kPeMachineI386 = 0x014c;
inline constexpr std::uint16_t kPeMachineAmd64 = 0x8664;
inline constexpr std::uint16_t kPeMachineArm64 = 0xaa64;

struct PeImage {
  std::uint16_t machine = 0;
  std::vector<std::string> imports;  // DLL names, in the order of the import table
};

// Reads the headers and the import table of a PE file held in `bytes`; nothing when the bytes
// are no PE file. An import table that runs off the file is read as far as it goes.
std::optional<PeImage> ReadPeImage(std::string_view bytes);

// The machine this program was built for.
std::uint16_t ProgramPeMachine();

// A text to add to the loader's reason, starting with a space, e.g. " (a 32-bit DLL; this program
// is 64-bit: use the 32-bit package of the tool)"; empty when both machines are the same.
std::string PeMachineMismatch(std::uint16_t library, std::uint16_t program);

}  // namespace uhf
