#!/usr/bin/env bash
# make windows: cross-builds zarv.exe and its tests with MinGW-w64 into a build directory and packs
# zarv-windows-x64.zip (to play from any folder) and zarv-setup-x64.exe (the installer) there.
# freeglut and SDL2 (from Debian's source packages) and GoogleTest (from Debian's googletest
# package) are built once, as static libraries, and kept in the same directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-build-windows}
shift || true  # the rest goes to the game's CMake configuration (-DZARV_WERROR=ON)
mkdir -p "$out"
out=$(cd "$out" && pwd)
jobs=${JOBS:-2}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
deps=$out/deps
quiet() { "$@" > "$out/last-step.log" 2>&1 || { cat "$out/last-step.log" >&2; echo "make windows: failed: $*" >&2; exit 1; }; }

# A failed run leaves no zip and no installer at all, neither half a new one nor the last run's.
rm -f "$out/zarv-windows-x64.zip" "$out/zarv-windows-x64.zip.part" "$out/zarv-setup-x64.exe" "$out/zarv-setup-x64.exe.part"
sources=$("$root/tools/windows-deps.sh" "$out" | tail -n2)
freeglut_src=$(echo "$sources" | head -n1)
sdl_src=$(echo "$sources" | tail -n1)
for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-objdump wine zip makensis icotool rsvg-convert; do
  command -v "$tool" >/dev/null || { echo "make windows: $tool is missing (tools/windows-deps.sh installs it)" >&2; exit 1; }
done

if [ ! -f "$deps/lib/libfreeglut_static.a" ]; then
  echo "Building freeglut for Windows from $freeglut_src"
  quiet cmake -S "$freeglut_src" -B "$out/freeglut-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
    -DFREEGLUT_BUILD_STATIC_LIBS=ON -DCMAKE_INSTALL_PREFIX="$deps"
  quiet cmake --build "$out/freeglut-build" -j "$jobs" --target install
fi
if [ ! -f "$deps/lib/libSDL2.a" ]; then
  # Only the game-controller part is used, but the Windows joystick code needs the video driver's
  # helper window compiled in (never initialised); everything else stays out of the exe.
  echo "Building SDL2 for Windows from $sdl_src"
  quiet cmake -S "$sdl_src" -B "$out/sdl2-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_AUDIO=OFF \
    -DSDL_RENDER=OFF -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=OFF \
    -DCMAKE_INSTALL_PREFIX="$deps"
  quiet cmake --build "$out/sdl2-build" -j "$jobs" --target install
fi
if [ ! -f "$deps/lib/libgtest.a" ]; then
  echo "Building GoogleTest for Windows from /usr/src/googletest"
  quiet cmake -S /usr/src/googletest -B "$out/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF -DCMAKE_INSTALL_PREFIX="$deps"
  quiet cmake --build "$out/googletest-build" -j "$jobs" --target install
fi

cmake -S "$root" -B "$out/zarv" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$deps" -DCMAKE_FIND_ROOT_PATH="$deps" "$@" > "$out/configure.log" ||
  { cat "$out/configure.log" >&2; exit 1; }
cmake --build "$out/zarv" -j "$jobs"
x86_64-w64-mingw32-strip -o "$out/zarv.exe" "$out/zarv/zarv.exe"
# Only DLLs that every Windows has: anything else would have to travel with the game.
imports=$(x86_64-w64-mingw32-objdump -p "$out/zarv.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
for dll in $imports; do
  case $dll in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|opengl32.dll|winmm.dll|msvcrt.dll) ;;
    # SDL2's controller code: system DLLs too.
    imm32.dll|version.dll|ole32.dll|oleaut32.dll|setupapi.dll|shell32.dll|cfgmgr32.dll) ;;
    *) echo "make windows: zarv.exe imports $dll, which Windows does not bring" >&2; exit 1 ;;
  esac
done

# The package: built under a temporary name and renamed, so a failed run never leaves half a zip.
stage=$out/package
rm -rf "$stage" "$out/zarv-windows-x64.zip.part"
mkdir -p "$stage/zarv/licences"
cp "$out/zarv.exe" "$stage/zarv/"
cp "$root/tools/windows/how-to-play.txt" "$stage/zarv/how-to-play.txt"
cp "$root/LICENSE" "$stage/zarv/licences/zarv.txt"
cp "$freeglut_src/COPYING" "$stage/zarv/licences/freeglut.txt"
cp "$sdl_src/LICENSE.txt" "$stage/zarv/licences/sdl2.txt"
for pair in "gcc-mingw-w64-base:gcc-runtime.txt" "mingw-w64-common:mingw-w64-and-winpthreads.txt"; do
  cp "/usr/share/doc/${pair%%:*}/copyright" "$stage/zarv/licences/${pair#*:}"
done
# Windows line ends in every text, so that every editor shows its lines.
find "$stage/zarv" -name '*.txt' -exec sed -i 's/\r*$/\r/' {} +
(cd "$stage" && zip -qr -X "$out/zarv-windows-x64.zip.part" zarv)
# The installer carries the same files.
quiet makensis -V2 -DSTAGE="$stage/zarv" -DOUTFILE="$out/zarv-setup-x64.exe.part" "$out/zarv/zarv.nsi"
mv "$out/zarv-windows-x64.zip.part" "$out/zarv-windows-x64.zip"
mv "$out/zarv-setup-x64.exe.part" "$out/zarv-setup-x64.exe"
rm -rf "$stage"
echo "Built $out/zarv-windows-x64.zip and $out/zarv-setup-x64.exe"
