# Native (host) build: the player core with its tools, tests and fuzz targets.
foreach(dir player/freetype_fonts player/gdi_fonts tools tests/player tools/default_movie)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
