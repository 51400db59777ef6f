# CLI11 for cross builds: the header-only library from the build machine (libcli11-dev), its
# headers only, so no host header can shadow the target's C library.
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
    "${UHF_CROSS_HEADERS}")
endif()
set(CLI11_FOUND TRUE)
