// What a DLL's file says of itself: the machine field and the import table, read from PE files
// laid out here as a linker lays them out (headers, one section holding the import table).
#include "driver/PeImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace uhf {
namespace {

constexpr std::uint32_t kSectionRva = 0x3000;
constexpr std::uint32_t kSectionOffset = 0x400;
constexpr std::uint32_t kSectionSize = 0x200;

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) {
    bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
  }
}

// A PE file (PE32+ when `plus`) for `machine` whose import table names `imports`; without
// `importDirectory` its data directory has no import entry.
std::string PeFile(std::uint16_t machine, bool plus, const std::vector<std::string>& imports,
                   bool importDirectory = true) {
  std::string bytes(kSectionOffset + kSectionSize, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  const std::size_t pe = 0x80;
  Put(bytes, 0x3c, pe, 4);
  bytes.replace(pe, 4, std::string("PE\0\0", 4));
  const std::size_t coff = pe + 4;
  const std::uint32_t optionalSize = plus ? 240 : 224;
  Put(bytes, coff, machine, 2);
  Put(bytes, coff + 2, 1, 2);  // one section
  Put(bytes, coff + 16, optionalSize, 2);
  const std::size_t optional = coff + 20;
  Put(bytes, optional, plus ? 0x20b : 0x10b, 2);
  const std::size_t directories = optional + (plus ? 108 : 92);
  Put(bytes, directories, 16, 4);
  if (importDirectory) {
    Put(bytes, directories + 4 + 8, kSectionRva, 4);
    Put(bytes, directories + 4 + 12, static_cast<std::uint32_t>(20 * (imports.size() + 1)), 4);
  }
  const std::size_t section = optional + optionalSize;
  bytes.replace(section, 6, ".idata");
  Put(bytes, section + 8, kSectionSize, 4);
  Put(bytes, section + 12, kSectionRva, 4);
  Put(bytes, section + 16, kSectionSize, 4);
  Put(bytes, section + 20, kSectionOffset, 4);
  // The descriptors, then the names after them.
  std::uint32_t name = static_cast<std::uint32_t>(20 * (imports.size() + 1));
  for (std::size_t i = 0; i < imports.size(); ++i) {
    const std::size_t at = kSectionOffset + 20 * i;
    Put(bytes, at, kSectionRva + 0x180, 4);       // lookup table
    Put(bytes, at + 12, kSectionRva + name, 4);   // name
    Put(bytes, at + 16, kSectionRva + 0x180, 4);  // address table
    bytes.replace(kSectionOffset + name, imports[i].size(), imports[i]);
    name += static_cast<std::uint32_t>(imports[i].size() + 1);
  }
  return bytes;
}

TEST(PeImage, ReadsMachineAndImportsOfBothLayouts) {
  const std::vector<std::string> imports = {"KERNEL32.dll", "vendorio.dll", "msvcrt.dll"};
  struct Row {
    const char* what;
    std::string file;
    std::uint16_t machine;
    std::vector<std::string> imports;
  } rows[] = {
      {"64-bit (PE32+)", PeFile(kPeMachineAmd64, true, imports), kPeMachineAmd64, imports},
      {"32-bit (PE32)", PeFile(kPeMachineI386, false, imports), kPeMachineI386, imports},
      {"ARM64", PeFile(kPeMachineArm64, true, {"a.dll"}), kPeMachineArm64, {"a.dll"}},
      {"no import directory", PeFile(kPeMachineAmd64, true, imports, false), kPeMachineAmd64, {}},
      {"empty import table", PeFile(kPeMachineI386, false, {}), kPeMachineI386, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto image = ReadPeImage(row.file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->machine, row.machine);
    EXPECT_EQ(image->imports, row.imports);
  }
}

TEST(PeImage, DamagedFilesAreReadAsFarAsTheyGo) {
  const std::string good = PeFile(kPeMachineAmd64, true, {"first.dll", "second.dll"});
  std::string badSignature = good;
  badSignature[0x81] = 'X';
  std::string peBeyondEnd = good;
  Put(peBeyondEnd, 0x3c, 0xfffffff0u, 4);
  // The file ends inside the second name: the first is still told.
  const std::string cutInNames = good.substr(0, kSectionOffset + 60 + 10 + 4);
  // The file ends inside the descriptors.
  const std::string cutInTable = good.substr(0, kSectionOffset + 10);

  EXPECT_FALSE(ReadPeImage("").has_value());
  EXPECT_FALSE(ReadPeImage("not a library\n").has_value());
  EXPECT_FALSE(ReadPeImage(good.substr(0, 0x40)).has_value());
  EXPECT_FALSE(ReadPeImage(badSignature).has_value());
  EXPECT_FALSE(ReadPeImage(peBeyondEnd).has_value());
  const auto names = ReadPeImage(cutInNames);
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(names->imports, std::vector<std::string>{"first.dll"});
  const auto table = ReadPeImage(cutInTable);
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(table->machine, kPeMachineAmd64);
  EXPECT_TRUE(table->imports.empty());
}

TEST(PeImage, OtherWidthSaysWhichPackageToUse) {
  struct Row {
    std::uint16_t library;
    std::uint16_t program;
    std::string expected;
  } rows[] = {
      {kPeMachineAmd64, kPeMachineAmd64, ""},
      {kPeMachineI386, kPeMachineAmd64,
       " (a 32-bit DLL; this program is 64-bit: use the 32-bit package of the tool)"},
      {kPeMachineAmd64, kPeMachineI386,
       " (a 64-bit DLL; this program is 32-bit: use the 64-bit package of the tool)"},
      {kPeMachineArm64, kPeMachineAmd64, " (a DLL for ARM64; this program is 64-bit)"},
      {0x01c4, kPeMachineI386, " (a DLL for machine 0x01c4; this program is 32-bit)"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PeMachineMismatch(row.library, row.program), row.expected) << row.library;
  }
}

}  // namespace
}  // namespace uhf
