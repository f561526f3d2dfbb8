# Cross-building KORVID for 64-bit Windows with Debian's mingw-w64 (posix threads),
# running the built programs under wine:
#   cmake -S . -B build-win -G Ninja --toolchain cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORVID_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KORVID_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVID_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVID_MINGW_TRIPLE}-windres)

# Libraries, headers and packages come from the mingw tree only; programs run here.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVID_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked statically (C and C++ runtime, winpthread): KORVID.dll and
# korvid.exe import nothing but Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# CTest runs the test programs through wine's 64-bit loader (/usr/bin/wine picks it
# when wine32 is absent).
find_program(KORVID_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVID_WINE})

# Release at -O2: at -O3 GCC 12 reports a false -Wrestrict inside std::string
# concatenation (GCC bug 105329), which warnings-as-errors would make fatal.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "C flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "C++ flags of Release builds")
