# Cross-build for Windows with Debian's MinGW-w64 -posix compilers (std::thread and std::mutex
# need the posix thread model), for the architecture in UHF_MINGW_ARCH. The runtime is linked
# statically, so the programs and tagvane.dll need no MinGW DLLs beside them. Tests run under
# Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${UHF_MINGW_ARCH})
set(UHF_MINGW_TRIPLET ${UHF_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${UHF_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${UHF_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${UHF_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${UHF_MINGW_TRIPLET}-ar)
set(CMAKE_RANLIB ${UHF_MINGW_TRIPLET}-ranlib)
set(CMAKE_OBJDUMP ${UHF_MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${UHF_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
