// Why a library is refused, told from its ELF header and the program's: the word sizes and the
// machine numbers must be read as the headers declare them.
#include "driver/ElfHeader.h"

#include <gtest/gtest.h>

#include <string>

namespace uhf {
namespace {

// The first bytes of an ELF file: word size (1 32-bit, 2 64-bit), byte order (1 little-endian,
// 2 big-endian) and the two bytes of the machine number as they stand in the file.
std::string Header(char wordSize, char byteOrder, unsigned char machine0, unsigned char machine1) {
  std::string header(kElfHeaderBytes, '\0');
  header.replace(0, 4,
                 "\x7f"
                 "ELF");
  header[4] = wordSize;
  header[5] = byteOrder;
  header[18] = static_cast<char>(machine0);
  header[19] = static_cast<char>(machine1);
  return header;
}

// Machine numbers: x86-64 62, i386 3, AArch64 183, 64-bit PowerPC 21, s390 22.
const std::string kX86_64 = Header(2, 1, 62, 0);
const std::string kI386 = Header(1, 1, 3, 0);
const std::string kAArch64 = Header(2, 1, 183, 0);
const std::string kPpc64BigEndian = Header(2, 2, 0, 21);
const std::string kS390xBigEndian = Header(2, 2, 0, 22);

TEST(ElfHeader, MismatchNamesWhatDiffers) {
  struct Row {
    const char* what;
    std::string library;
    std::string program;
    std::string expected;
  } rows[] = {
      {"another machine", kAArch64, kX86_64,
       " (built for another machine: ELF machine 183, this program 62)"},
      {"big-endian library", kPpc64BigEndian, kX86_64,
       " (built for another machine: ELF machine 21, this program 62)"},
      {"big-endian program", kX86_64, kS390xBigEndian,
       " (built for another machine: ELF machine 62, this program 22)"},
      {"same machine", kX86_64, kX86_64, ""},
      {"same machine, big-endian", kS390xBigEndian, kS390xBigEndian, ""},
      {"32-bit library", kI386, kX86_64, " (a 32-bit library; this program is 64-bit)"},
      {"64-bit library", kX86_64, kI386, " (a 64-bit library; this program is 32-bit)"},
      {"no ELF file", std::string("MZ") + std::string(30, '\0'), kX86_64,
       " (not an ELF shared library)"},
      {"cut short", kAArch64.substr(0, 19), kX86_64, " (not an ELF shared library)"},
      {"program unreadable", kAArch64, "", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ElfMismatch(row.library, row.program), row.expected) << row.what;
  }
}

}  // namespace
}  // namespace uhf
