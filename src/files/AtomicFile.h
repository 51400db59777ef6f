#pragma once
// Replacing a file's whole content so that a reader sees either the old or the new content,
// never a mix: the content goes to a temporary file in the same folder, is flushed to the disk
// and then renamed over the target.

#include <filesystem>
#include <string>
#include <string_view>

namespace uhf {

// Creates missing parent folders. On failure returns false with `error` set and leaves the
// target and no temporary file behind.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                         std::string& error);

// The folder the file goes in ("." for a bare name), created when missing. On failure returns
// false with `error` set. Shared by the platform backends of WriteFileAtomically.
bool PrepareFolderOf(const std::filesystem::path& path, std::filesystem::path& folder,
                     std::string& error);

}  // namespace uhf
