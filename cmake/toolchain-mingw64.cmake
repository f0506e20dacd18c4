# Cross-builds for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64-posix).
# Everything is linked statically, so tjvx.exe and the test program run without extra DLLs.
# Programs built here run on Linux through Wine (see CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TJVX_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour has std::thread and std::mutex on winpthreads, which GoogleTest uses.
set(CMAKE_C_COMPILER ${TJVX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TJVX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TJVX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TJVX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test discovery and ctest start the programs through Wine's loader, without Wine's debug chatter.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all /usr/lib/wine/wine64)

# -O2 as in the Linux build: at -O3 GCC 12 reports a false -Wrestrict inside std::u16string
# concatenation (GCC bug 105329), and the build is kept free of warnings.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
