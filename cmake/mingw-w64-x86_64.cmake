# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers, the
# "posix" flavour (std::thread and std::mutex work there). Used by the
# "windows" preset (make windows) and for expat (scripts/windows-deps).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries and headers come from MinGW's own tree and the prefix the
# Windows dependencies were built into, never from Linux's /usr.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TARNFOLD_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe and nothing beside it: the C++ runtime, libgcc and winpthread
# are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Windows programs built here run under Wine: the tests, and the program's
# --help for its manual.
find_program(TARNFOLD_WINE wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TARNFOLD_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARNFOLD_WINE})
endif()
