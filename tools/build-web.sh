#!/usr/bin/env bash
# make web: builds the page with Debian's Emscripten into a folder a local web server can serve:
# index.html, zarv.js, zarv.wasm, zarv.data (the glyph bitmaps), the licences and zarv-web.zip, and
# the web build's test programs beside them (in <folder>/zarv). The glyph bitmaps are rendered at
# build time by a tool of the Linux build (in the Linux build folder given), whose game the page
# test compares the page's menu with; GoogleTest is built
# once from Debian's googletest sources.
# Usage: tools/build-web.sh <folder> <linux build folder> [CMake options for the web build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-build-web}
linux=${2:-build}
shift 2 || shift $#
mkdir -p "$out" "$linux"
out=$(cd "$out" && pwd)
linux=$(cd "$linux" && pwd)
jobs=${JOBS:-2}
# Emscripten's JavaScript optimiser needs Debian's acorn, which a node other than Debian's own
# (first on the PATH) does not look for.
export NODE_PATH=/usr/share/nodejs
quiet() { "$@" > "$out/last-step.log" 2>&1 || { cat "$out/last-step.log" >&2; echo "make web: failed: $*" >&2; exit 1; }; }

# A failed run leaves no zip, neither half a new one nor the last run's.
rm -f "$out/zarv-web.zip" "$out/zarv-web.zip.part"
for tool in emcmake em++ node; do
  command -v "$tool" >/dev/null || { echo "make web: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done

[ -f "$linux/CMakeCache.txt" ] || quiet cmake -S "$root" -B "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo
quiet cmake --build "$linux" -j "$jobs" --target zarv_glyph_pack zarv

if [ ! -f "$out/deps/lib/libgtest.a" ]; then
  echo "Building GoogleTest for the web from /usr/src/googletest"
  quiet emcmake cmake -S /usr/src/googletest -B "$out/googletest-build" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON -DCMAKE_INSTALL_PREFIX="$out/deps"
  quiet cmake --build "$out/googletest-build" -j "$jobs" --target install
fi

quiet emcmake cmake -S "$root" -B "$out/zarv" -DCMAKE_BUILD_TYPE=Release -DZARV_PAGE_DIR="$out" \
  -DZARV_GLYPH_PACK_TOOL="$linux/zarv_glyph_pack" -DCMAKE_PREFIX_PATH="$out/deps" \
  -DCMAKE_FIND_ROOT_PATH="$out/deps" "$@"
cmake --build "$out/zarv" -j "$jobs"
