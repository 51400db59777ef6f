// A DLL that a stub driver DLL imports and that is then taken away: its loader must name it.
extern "C" __declspec(dllexport) int gone_answer() {
  return 42;
}
