# The web page, built with Debian's Emscripten (tools/build-web.sh, make web): zarv.js, zarv.wasm,
# zarv.data (the glyph bitmaps), the project's own index.html and the licences, in one folder a
# local web server can serve, and zarv-web.zip of the same files.

# Every program here, the test programs included, waits for the browser (a frame, a save, the full
# screen's answer) in the middle of a callback: Asyncify lets such a wait unwind to the browser and
# come back. Its stack must hold the deepest wait (a key capture inside the menu's idle callback).
# The runtime ends through exit(), so that exit handlers run as on the desktop (port.h).
add_link_options(-sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)

# Emscripten's JavaScript optimiser, run at link time, needs Debian's acorn, which a node other than
# Debian's own (first on the PATH) does not look for: every link is told where it is.
if(EXISTS /usr/share/nodejs/acorn)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()

set(ZARV_PAGE_DIR ${CMAKE_BINARY_DIR}/page CACHE PATH "Where the page's files go")
set(ZARV_GLYPH_PACK_TOOL "" CACHE FILEPATH "The Linux build's zarv_glyph_pack, which writes the page's glyph bitmaps")
set(ZARV_WEB_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../web)

function(zarv_web_page)
  if(NOT EXISTS "${ZARV_GLYPH_PACK_TOOL}")
    message(FATAL_ERROR "The page needs its glyph bitmaps: give -DZARV_GLYPH_PACK_TOOL=<the Linux build's "
                        "zarv_glyph_pack> (tools/build-web.sh builds it)")
  endif()
  set(page ${ZARV_PAGE_DIR})
  set(glyphs ${CMAKE_BINARY_DIR}/glyphs.bin)
  set(storage ${CMAKE_SOURCE_DIR}/src/platform/web/storage.js)
  add_custom_command(OUTPUT ${glyphs} COMMAND ${ZARV_GLYPH_PACK_TOOL} ${glyphs} DEPENDS ${ZARV_GLYPH_PACK_TOOL}
                     COMMENT "Glyph bitmaps of every size the resolutions need" VERBATIM)
  add_custom_target(zarv_glyphs DEPENDS ${glyphs})
  add_dependencies(zarv zarv_glyphs)
  set_target_properties(zarv PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${page} LINK_DEPENDS "${storage};${glyphs}")
  target_link_options(zarv PRIVATE -sENVIRONMENT=web -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -lidbfs.js -sFORCE_FILESYSTEM=1 --pre-js ${storage} --preload-file ${glyphs}@/zarv-data/glyphs.bin)

  # The sound: the synthesiser and the samples cut from the SoundFonts the desktop plays.
  include(${ZARV_WEB_SOURCE_DIR}/../cmake/web-sound.cmake)

  # What the page carries, each with its licence.
  set(licences
    ${CMAKE_SOURCE_DIR}/LICENSE:zarv.txt
    /usr/share/doc/fonts-liberation2/copyright:liberation-fonts.txt
    /usr/share/doc/fluid-soundfont-gm/copyright:fluid-soundfont.txt
    /usr/share/doc/emscripten/copyright:emscripten-runtime.txt)
  set(page_files ${page}/index.html ${page}/synth.js ${page}/zarv-sounds.bin)
  add_custom_command(OUTPUT ${page}/index.html
    COMMAND ${CMAKE_COMMAND} -E copy ${ZARV_WEB_SOURCE_DIR}/index.html ${page}/index.html
    DEPENDS ${ZARV_WEB_SOURCE_DIR}/index.html VERBATIM)
  set(zipped index.html zarv.js zarv.wasm zarv.data synth.js zarv-sounds.bin)
  foreach(pair ${licences})
    string(REGEX MATCH "^[^:]+" from ${pair})
    string(REGEX REPLACE "^[^:]+:" "" name ${pair})
    add_custom_command(OUTPUT ${page}/licences/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${from} ${page}/licences/${name} DEPENDS ${from} VERBATIM)
    list(APPEND page_files ${page}/licences/${name})
    list(APPEND zipped licences/${name})
  endforeach()
  # Made under another name and renamed: a failed build never leaves half a zip.
  add_custom_command(OUTPUT ${page}/zarv-web.zip
    COMMAND ${CMAKE_COMMAND} -E tar cf zarv-web.zip.part --format=zip ${zipped}
    COMMAND ${CMAKE_COMMAND} -E rename zarv-web.zip.part zarv-web.zip
    WORKING_DIRECTORY ${page} DEPENDS zarv ${page_files} VERBATIM)
  add_custom_target(zarv_page ALL DEPENDS ${page}/zarv-web.zip)
endfunction()
