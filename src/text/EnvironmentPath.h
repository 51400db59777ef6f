#pragma once
// A folder or file named by an environment variable, whole whatever its characters.

#include <filesystem>

namespace uhf {

// The variable's value as a path; empty when it is unset or empty. On Windows it comes from the
// wide environment: the narrow one holds only what the ANSI code page can say, so a Chinese user
// or file name came out as "??".
std::filesystem::path EnvironmentPath(const char* name);

}  // namespace uhf
