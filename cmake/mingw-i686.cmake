# Windows, 32-bit (i686), with MinGW-w64: the build a 32-bit vendor tagvane.dll needs.
set(UHF_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
