# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain (the POSIX-threads variant).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZARV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARV_MINGW_PREFIX}-windres)
# Libraries built for the cross-build (freeglut, GoogleTest) come in by CMAKE_FIND_ROOT_PATH too.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZARV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
