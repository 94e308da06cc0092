# The Windows build's test programs, run under Wine, one CTest entry a program (a Wine start per
# test case would cost more than the tests). Every file is named: a test that does not build here
# must be left out on purpose, never silently.
set(ZARV_WINDOWS_TESTS
  game/game_test.cpp
  platform/gamepad_test.cpp
  render/render_test.cpp
  settings/settings_test.cpp
  sound/sound_test.cpp
  ui/ui_test.cpp
  platform/save_failure_test.cpp
  platform/windows/file_replace_test.cpp
  platform/windows/fonts_test.cpp
  platform/windows/keys_and_midi_test.cpp
  platform/windows/resources_test.cpp)
# Left out: render/es_backend_test.cpp and its EGL contexts (the Windows port has no ES backend).
file(GLOB ZARV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
list(FILTER ZARV_TEST_SUPPORT EXCLUDE REGEX "/egl_context\\.cpp$")
foreach(source ${ZARV_WINDOWS_TESTS})
  string(REGEX MATCH "^[a-z]+" name ${source})
  list(APPEND sources_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${source})
  list(APPEND ZARV_WINDOWS_TEST_NAMES ${name})
endforeach()
list(REMOVE_DUPLICATES ZARV_WINDOWS_TEST_NAMES)
foreach(name ${ZARV_WINDOWS_TEST_NAMES})
  add_executable(test_${name} ${sources_${name}} ${ZARV_TEST_SUPPORT})
  target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # mkdtemp for the settings fixture, and the system headers tamed.
  target_compile_options(test_${name} PRIVATE -include ${CMAKE_CURRENT_SOURCE_DIR}/support/windows_shims.h)
  target_link_libraries(test_${name} PRIVATE zarv_test_hooks GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE
    ZARV_BINARY="$<TARGET_FILE:zarv>" ZARV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZARV_SYSTEM_TEXT=".gdi")
  add_test(NAME windows_${name} COMMAND test_${name})
  set_tests_properties(windows_${name} PROPERTIES TIMEOUT 900)
endforeach()
# The platform program reads zarv.exe's resources back and carries them itself, so that it runs
# under the game's manifest.
target_sources(test_platform PRIVATE ${ZARV_RC})
target_link_libraries(test_platform PRIVATE version)
target_compile_definitions(test_platform PRIVATE ZARV_VERSION="${PROJECT_VERSION}")
add_dependencies(test_platform zarv)
