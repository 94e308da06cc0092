# The web build's tests: the shared test programs that need no window, built to WebAssembly and
# run under node, where they must reach the digests every other build reaches; then the page
# itself in headless Chromium (web/page_test.py). The drawing tests have no window here and skip.

# Node itself, without the option Emscripten's own CMake start adds (newer nodes refuse it).
find_program(ZARV_NODE NAMES node nodejs REQUIRED)
foreach(name game settings sound ui)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  add_executable(test_${name} ${sources} ${CMAKE_CURRENT_SOURCE_DIR}/support/test_support.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/web/no_window.cpp)
  target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(test_${name} PRIVATE zarv_test_hooks GTest::gtest GTest::gtest_main)
  # The text the drawings would digest is the Linux port's glyphs: the Linux digests.
  target_compile_definitions(test_${name} PRIVATE ZARV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZARV_SYSTEM_TEXT="")
  # The machine's own files (the stored digests, a private folder for zarv.cfg), as on the desktop;
  # the program's code read straight from its file (this Emscripten would fetch it, which a node
  # with fetch of its own cannot do with a file name).
  target_link_options(test_${name} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sWASM_ASYNC_COMPILATION=0)
  add_test(NAME web_${name} COMMAND ${ZARV_NODE} $<TARGET_FILE:test_${name}>)
  set_tests_properties(web_${name} PROPERTIES TIMEOUT 900)
endforeach()
# The page's menu is compared with the Linux build's, built beside the glyph tool.
get_filename_component(linux_build "${ZARV_GLYPH_PACK_TOOL}" DIRECTORY)
add_test(NAME web_page COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/web/page_test.py ${ZARV_PAGE_DIR}
         ${linux_build}/zarv)
set_tests_properties(web_page PROPERTIES TIMEOUT 600)
