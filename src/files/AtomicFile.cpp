#include "files/AtomicFile.h"
#include "text/Utf8Path.h"

#include <system_error>

namespace uhf {

bool PrepareFolderOf(const std::filesystem::path& path, std::filesystem::path& folder,
                     std::string& error) {
  folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = "cannot create folder " + PathText(folder) + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace uhf
