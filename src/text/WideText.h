#pragma once
// UTF-8 and UTF-16 (the wide character API's text) in both directions; Windows builds only.

#include <string>
#include <string_view>

namespace uhf {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace uhf
