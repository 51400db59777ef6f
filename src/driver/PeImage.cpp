#include "driver/PeImage.h"

#include <algorithm>
#include <cstdio>

namespace uhf {

namespace {

constexpr std::size_t kMaxImports = 4096;
constexpr std::size_t kMaxNameLength = 260;

std::optional<std::uint32_t> Read(std::string_view bytes, std::size_t offset, std::size_t size) {
  if (offset > bytes.size() || bytes.size() - offset < size) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return value;
}

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t virtualSize;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

// The file offset of a relative virtual address, through the section that holds it.
std::optional<std::size_t> FileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
  for (const Section& section : sections) {
    const std::uint32_t span = std::max(section.virtualSize, section.rawSize);
    if (rva >= section.virtualAddress && rva - section.virtualAddress < span) {
      const std::uint32_t within = rva - section.virtualAddress;
      if (within >= section.rawSize) return std::nullopt;  // not backed by the file
      return static_cast<std::size_t>(section.rawOffset) + within;
    }
  }
  return std::nullopt;
}

std::string Width(std::uint16_t machine) {
  switch (machine) {
    case kPeMachineI386:
      return "32-bit";
    case kPeMachineAmd64:
      return "64-bit";
    case kPeMachineArm64:
      return "ARM64";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "0x%04x", machine);
      return std::string("machine ") + text;
    }
  }
}

}  // namespace

std::optional<PeImage> ReadPeImage(std::string_view bytes) {
  if (bytes.substr(0, 2) != "MZ") return std::nullopt;
  const auto peOffset = Read(bytes, 0x3c, 4);
  if (!peOffset || *peOffset > bytes.size() ||
      bytes.substr(*peOffset, 4) != std::string_view("PE\0\0", 4)) {
    return std::nullopt;
  }
  const std::size_t coff = static_cast<std::size_t>(*peOffset) + 4;
  const auto machine = Read(bytes, coff, 2);
  const auto sectionCount = Read(bytes, coff + 2, 2);
  const auto optionalSize = Read(bytes, coff + 16, 2);
  if (!machine || !sectionCount || !optionalSize) return std::nullopt;
  PeImage image;
  image.machine = static_cast<std::uint16_t>(*machine);

  // The optional header: its magic tells where the data directories start.
  const std::size_t optional = coff + 20;
  const auto magic = Read(bytes, optional, 2);
  if (!magic) return image;
  const bool plus = *magic == 0x20b;
  if (!plus && *magic != 0x10b) return image;
  const std::size_t directoryCountAt = optional + (plus ? 108 : 92);
  const auto directoryCount = Read(bytes, directoryCountAt, 4);
  if (!directoryCount || *directoryCount < 2) return image;         // no import directory
  const auto importRva = Read(bytes, directoryCountAt + 4 + 8, 4);  // directory 1
  if (!importRva || *importRva == 0) return image;

  std::vector<Section> sections;
  const std::size_t table = optional + *optionalSize;
  for (std::uint32_t i = 0; i < *sectionCount; ++i) {
    const std::size_t at = table + i * 40;
    const auto virtualSize = Read(bytes, at + 8, 4);
    const auto virtualAddress = Read(bytes, at + 12, 4);
    const auto rawSize = Read(bytes, at + 16, 4);
    const auto rawOffset = Read(bytes, at + 20, 4);
    if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) break;
    sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
  }

  // The import descriptors, 20 bytes each, up to one of zeros; the name is the fourth field.
  const auto descriptors = FileOffset(sections, *importRva);
  if (!descriptors) return image;
  for (std::size_t i = 0; i < kMaxImports; ++i) {
    const std::size_t at = *descriptors + i * 20;
    const auto nameRva = Read(bytes, at + 12, 4);
    const auto thunks = Read(bytes, at + 16, 4);
    if (!nameRva || !thunks || (*nameRva == 0 && *thunks == 0)) break;
    const auto name = FileOffset(sections, *nameRva);
    if (!name || *name >= bytes.size()) continue;
    const std::string_view rest = bytes.substr(*name, kMaxNameLength);
    const std::size_t end = rest.find('\0');
    if (end == std::string_view::npos || end == 0) continue;
    image.imports.emplace_back(rest.substr(0, end));
  }
  return image;
}

std::uint16_t ProgramPeMachine() {
#if defined(__x86_64__) || defined(_M_X64)
  return kPeMachineAmd64;
#elif defined(__i386__) || defined(_M_IX86)
  return kPeMachineI386;
#elif defined(__aarch64__) || defined(_M_ARM64)
  return kPeMachineArm64;
#else
  return 0;
#endif
}

std::string PeMachineMismatch(std::uint16_t library, std::uint16_t program) {
  if (library == program) return {};
  const bool x86 = library == kPeMachineI386 || library == kPeMachineAmd64;
  const std::string what = x86 ? "a " + Width(library) + " DLL" : "a DLL for " + Width(library);
  const std::string advice = x86 ? ": use the " + Width(library) + " package of the tool" : "";
  return " (" + what + "; this program is " + Width(program) + advice + ")";
}

}  // namespace uhf
