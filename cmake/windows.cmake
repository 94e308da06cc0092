# What Windows shows of zarv.exe: the ship icon, version information and the application manifest,
# compiled in by windres; and the installer script, configured here so that the version is written
# once, in project(). Only for the Windows build.
enable_language(RC)

set(ZARV_PUBLISHER "The zarv developers")
set(ZARV_DESCRIPTION "zarv, a vector arcade shooter")
set(ZARV_COPYRIGHT "Copyright 2026 the zarv developers. MIT License.")
set(ZARV_VERSION_DOTS ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," ZARV_VERSION_COMMAS ${ZARV_VERSION_DOTS})
set(ZARV_WINDOWS_ICON_SIZES 16 24 32 48 64 256)

# The icon is drawn by the same program as the Linux one, built with the build machine's own
# compiler (it runs here, not on Windows), then rendered at each size and packed into one .ico.
find_program(ZARV_HOST_CXX NAMES c++ g++ REQUIRED)
find_program(ZARV_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ZARV_ICOTOOL icotool REQUIRED)
set(res ${CMAKE_BINARY_DIR}/resources)
set(icon_tool ${res}/zarv_icon${CMAKE_HOST_EXECUTABLE_SUFFIX})
file(MAKE_DIRECTORY ${res})
add_custom_command(OUTPUT ${icon_tool}
  COMMAND ${ZARV_HOST_CXX} -std=c++20 -O2 -I${CMAKE_SOURCE_DIR}/src
          ${CMAKE_SOURCE_DIR}/packaging/ship_icon.cpp -o ${icon_tool}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/ship_icon.cpp ${CMAKE_SOURCE_DIR}/src/render/ship_shape.h VERBATIM)
add_custom_command(OUTPUT ${res}/zarv.svg COMMAND ${icon_tool} ${res}/zarv.svg DEPENDS ${icon_tool} VERBATIM)
set(pngs)
foreach(size ${ZARV_WINDOWS_ICON_SIZES})
  add_custom_command(OUTPUT ${res}/icon-${size}.png
    COMMAND ${ZARV_RSVG_CONVERT} -w ${size} -h ${size} -o ${res}/icon-${size}.png ${res}/zarv.svg
    DEPENDS ${res}/zarv.svg VERBATIM)
  list(APPEND pngs ${res}/icon-${size}.png)
endforeach()
# The small sizes as bitmaps, which every Windows reads; 256 px as PNG, as Windows keeps it, a
# tenth of the bitmap's size.
list(REMOVE_ITEM pngs ${res}/icon-256.png)
set(ZARV_ICO ${res}/zarv.ico)
add_custom_command(OUTPUT ${ZARV_ICO}
  COMMAND ${ZARV_ICOTOOL} -c -o ${ZARV_ICO} ${pngs} --raw=${res}/icon-256.png
  DEPENDS ${pngs} ${res}/icon-256.png VERBATIM)

set(ZARV_MANIFEST ${res}/zarv.manifest)
configure_file(packaging/windows/zarv.manifest.in ${ZARV_MANIFEST} @ONLY)
set(ZARV_RC ${res}/zarv.rc)
configure_file(packaging/windows/zarv.rc.in ${ZARV_RC} @ONLY)
set_source_files_properties(${ZARV_RC} PROPERTIES OBJECT_DEPENDS "${ZARV_ICO};${ZARV_MANIFEST}")
target_sources(zarv PRIVATE ${ZARV_RC} ${ZARV_ICO})

# The installer script; tools/build-windows.sh runs makensis on it with the packed files.
configure_file(packaging/windows/zarv.nsi.in ${CMAKE_BINARY_DIR}/zarv.nsi @ONLY)
