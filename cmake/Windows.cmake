# Cross build for 32-bit Windows: the screen saver, the player control and their tests.
# Every program and DLL lands in one folder, so tests and scripts find them in one place.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

enable_language(RC)

# Shipped binaries carry no symbols.
add_link_options($<$<CONFIG:Release>:-s>)

# ANSI APIs are called by name (-A); keep <windows.h> lean and out of min/max's way.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/WineTest.cmake)
  include(cmake/WineTest.cmake)
endif()

foreach(dir raii resources core ui flash app player/gdi_fonts player/control installer
            tests/harness tests/doubles tests/gdi_fonts tests/startup tests/config tests/display tests/control tests/installer)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
