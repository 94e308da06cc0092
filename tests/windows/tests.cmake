# The Windows build's test programs, run under Wine: every subsystem's tests that need no X11 of
# their own, no built-in synthesiser and no POSIX process or file-permission calls (found by what
# a file includes or names), and the Windows layer's own. One CTest entry per program: a Wine
# start per test case would cost more than the tests.
set(ZARV_WINDOWS_TEST_DIRS game pad render settings sound ui windows)
set(ZARV_LINUX_ONLY "#include <(unistd|sys/|X11/|fluidsynth|alsa/)|midiSynth|midiSequencer")
file(GLOB ZARV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
foreach(name ${ZARV_WINDOWS_TEST_DIRS})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  foreach(source ${test_sources})
    file(READ ${source} text)
    if(text MATCHES "${ZARV_LINUX_ONLY}")
      list(REMOVE_ITEM test_sources ${source})
    endif()
  endforeach()
  add_executable(test_${name} ${test_sources} ${ZARV_TEST_SUPPORT})
  target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # mkdtemp for the settings fixture, and the system headers tamed.
  target_compile_options(test_${name} PRIVATE -include ${CMAKE_CURRENT_SOURCE_DIR}/windows/posix_shims.h)
  target_link_libraries(test_${name} PRIVATE zarv_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE
    ZARV_BINARY="$<TARGET_FILE:zarv>" ZARV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME windows_${name} COMMAND test_${name})
  set_tests_properties(windows_${name} PROPERTIES TIMEOUT 900)
endforeach()
# The Windows layer's program reads zarv.exe's resources back and carries them itself, so that it
# runs under the game's manifest.
target_sources(test_windows PRIVATE ${ZARV_RC})
target_link_libraries(test_windows PRIVATE version)
target_compile_definitions(test_windows PRIVATE ZARV_VERSION="${PROJECT_VERSION}")
add_dependencies(test_windows zarv)
