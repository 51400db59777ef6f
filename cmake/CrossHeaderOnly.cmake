# Cross builds take header-only libraries from the build machine: a folder of links to just their
# headers, and package files that make their usual targets from it.
set(UHF_CROSS_HEADERS ${CMAKE_BINARY_DIR}/cross-headers)
file(MAKE_DIRECTORY ${UHF_CROSS_HEADERS})
foreach(dir CLI nlohmann)
  if(EXISTS /usr/include/${dir} AND NOT EXISTS ${UHF_CROSS_HEADERS}/${dir})
    file(CREATE_LINK /usr/include/${dir} ${UHF_CROSS_HEADERS}/${dir} SYMBOLIC)
  endif()
endforeach()
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/cross CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross CACHE PATH "" FORCE)
