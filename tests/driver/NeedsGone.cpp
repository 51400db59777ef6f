// Part of a stub driver DLL that uses a function of tagvane_gone.dll, so that the DLL imports it.
extern "C" __declspec(dllimport) int gone_answer();

namespace {
[[maybe_unused]] const int answer = gone_answer();
}  // namespace
