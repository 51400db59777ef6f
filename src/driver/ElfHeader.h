#pragma once
// Why an ELF shared library cannot be loaded into this program, told from the first bytes of
// both files: not ELF at all, another word size, or another machine.

#include <cstddef>
#include <string>
#include <string_view>

namespace uhf {

// The first 20 bytes of an ELF file hold what is compared: the magic, the word size (byte 4),
// the byte order (byte 5) and the machine number (bytes 18 and 19, in the file's byte order).
inline constexpr std::size_t kElfHeaderBytes = 20;

// A text to add to the loader's reason, starting with a space, e.g. " (built for another
// machine: ELF machine 183, this program 62)"; empty when the headers do not tell what is wrong
// (or when the program's own header is too short to compare).
std::string ElfMismatch(std::string_view library, std::string_view program);

}  // namespace uhf
