# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The POSIX thread model is the one with std::thread and std::mutex. Test programs run under
# Wine when a Wine is found (CMAKE_CROSSCOMPILING_EMULATOR), so ctest works too.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSARY_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSARY_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARY_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARY_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSARY_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The C and C++ run-time libraries linked in, so that the programs run without the compiler's
# DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TESSARY_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_DEFAULT_PATH)
if(NOT TESSARY_WINE64)
    find_program(TESSARY_WINE64 NAMES wine64 wine)
endif()
if(TESSARY_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSARY_WINE64})
endif()
