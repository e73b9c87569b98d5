# Toolchain: 32-bit Windows with MinGW-w64 (build/win32).
set(KESTORAL_MINGW_TARGET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
