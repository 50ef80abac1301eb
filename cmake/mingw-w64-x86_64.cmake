# Cross-builds Dravik for 64-bit Windows with Debian's MinGW-w64 and runs what it builds under Wine.
# The posix-thread compilers: the win32 variant has no std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine)
# Static, so dravik.exe needs no DLL beside it; each function and datum in a section of its own, so the
# linker drops what nothing calls. With the preset's MinSizeRel (-Os) the stripped release is 926 KiB
# with MinGW-w64's GCC 12 and 980 KiB with GCC 14, under the 1 MiB that scripts/check-release.sh holds it
# to; most of it is the static C++ library's locale, which std::filesystem::path brings in.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# No link time in the PE header, so the same source gives the same dravik.exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -Wl,--no-insert-timestamp")
