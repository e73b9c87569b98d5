# Toolchain: 64-bit Windows with MinGW-w64 (build/win64).
set(KESTORAL_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
