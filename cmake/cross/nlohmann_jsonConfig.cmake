# nlohmann-json for cross builds: the header-only library from the build machine
# (nlohmann-json3-dev), its headers only.
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
    "${UHF_CROSS_HEADERS}")
endif()
set(nlohmann_json_FOUND TRUE)
