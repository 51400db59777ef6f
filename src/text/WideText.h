#pragma once
// UTF-8 and UTF-16 (the wide character API's text) in both directions; Windows builds only.

#include <string>
#include <string_view>
#include <vector>

namespace uhf {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A program's wide command line as UTF-8 arguments, with argv-style pointers to them.
class Utf8Arguments {
 public:
  Utf8Arguments(int argc, const wchar_t* const* argv) {
    for (int i = 0; i < argc; ++i) text_.push_back(Narrow(argv[i]));
    for (const std::string& argument : text_) pointers_.push_back(argument.c_str());
    pointers_.push_back(nullptr);
  }
  Utf8Arguments(const Utf8Arguments&) = delete;
  Utf8Arguments& operator=(const Utf8Arguments&) = delete;
  const char* const* Argv() const { return pointers_.data(); }

 private:
  std::vector<std::string> text_;
  std::vector<const char*> pointers_;
};

}  // namespace uhf
