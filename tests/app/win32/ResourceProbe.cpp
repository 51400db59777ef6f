// Prints what the resources of a Windows program or DLL say: the fixed version, the version
// strings, and the manifest's execution level and DPI awareness (when it has a manifest).
//   resource_probe.exe <file>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
  text.resize(text.find('\0'));
  return text;
}

bool PrintVersion(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) return false;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(file, 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
      fixed != nullptr) {
    std::printf("Fixed=%d.%d.%d.%d Type=%s\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS), fixed->dwFileType == VFT_DLL ? "dll" : "app");
  }
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof *translation) {
    return false;
  }
  for (const wchar_t* key : {L"FileVersion", L"ProductVersion", L"ProductName", L"CompanyName",
                             L"FileDescription", L"OriginalFilename"}) {
    wchar_t path[128];
    std::swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                  translation->codePage, key);
    wchar_t* value = nullptr;
    if (VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length) &&
        value != nullptr) {
      std::printf("%s=%s\n", Narrow(key).c_str(), Narrow(value).c_str());
    }
  }
  return true;
}

void PrintManifest(const wchar_t* file) {
  HMODULE module =
      LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  if (found != nullptr) {
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(bytes, SizeofResource(module, found));
    const auto has = [&](const char* text) { return manifest.find(text) != std::string::npos; };
    std::printf("Manifest asInvoker=%d PerMonitorV2=%d supportedOS=%d\n",
                has("level=\"asInvoker\"") ? 1 : 0, has("PerMonitorV2") ? 1 : 0,
                has("<supportedOS") ? 1 : 0);
  }
  FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_probe <file>\n");
    return 2;
  }
  const bool version = PrintVersion(argv[1]);
  if (!version) std::printf("no version resource\n");
  PrintManifest(argv[1]);
  return version ? 0 : 1;
}
