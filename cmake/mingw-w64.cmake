# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain (posix threads, for
# std::thread). Programs are linked statically: one .exe each, no DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries from the mingw tree and the prefixes given (libraries built for Windows) only;
# header-only stb may come from the host's /usr/include.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# The thumbnail DLL too carries its C++ runtime: Explorer loads it into its own process.
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)
# Else FindZLIB takes the DLL's import library, which -static does not turn into the archive.
set(ZLIB_USE_STATIC_LIBS ON)
# CTest runs the test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
