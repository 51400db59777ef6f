#pragma once
#include <string>

namespace uhf {

// This computer's address as dotted decimal text: the first IPv4 address its host name resolves
// to. Empty when the name cannot be read or does not resolve.
std::string LocalHostAddress();

}  // namespace uhf
