#include "driver/ElfHeader.h"

namespace uhf {

namespace {

constexpr std::string_view kElfMagic =
    "\x7f"
    "ELF";

// e_machine, read in the byte order the header declares (1 little-endian, 2 big-endian).
unsigned Machine(std::string_view header) {
  const unsigned first = static_cast<unsigned char>(header[18]);
  const unsigned second = static_cast<unsigned char>(header[19]);
  return header[5] == 2 ? (first << 8) | second : (second << 8) | first;
}

}  // namespace

std::string ElfMismatch(std::string_view library, std::string_view program) {
  if (library.size() < kElfHeaderBytes || library.substr(0, 4) != kElfMagic) {
    return " (not an ELF shared library)";
  }
  if (program.size() < kElfHeaderBytes) return {};
  if (library[4] != program[4]) {
    return library[4] == 1 ? " (a 32-bit library; this program is 64-bit)"
                           : " (a 64-bit library; this program is 32-bit)";
  }
  if (Machine(library) != Machine(program)) {
    return " (built for another machine: ELF machine " + std::to_string(Machine(library)) +
           ", this program " + std::to_string(Machine(program)) + ")";
  }
  return {};
}

}  // namespace uhf
