// Part of a stub driver DLL that, as vendor DLLs do with their own parts, loads another DLL by its
// bare name as soon as it is loaded itself. Where the process lets that search look decides which
// file it gets.
#include <windows.h>

namespace {
[[maybe_unused]] const HMODULE helper = LoadLibraryW(L"stub_helper.dll");
}  // namespace
