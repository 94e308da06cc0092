#!/usr/bin/env bash
# Everything the Windows cross-build needs beyond the Linux one: the MinGW-w64 toolchain, the icon
# tools and NSIS for the installer, Wine for the tests, and the sources of freeglut and SDL2 from
# Debian's own source packages (fetched once into the cache).
# Usage: tools/windows-deps.sh <cache dir>; prints the freeglut source directory, then the SDL2 one,
# on its last two lines. ZARV_APT_DIR names another apt folder than /etc/apt to read and extend.
set -euo pipefail
cache=${1:?cache directory}

packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 googletest dpkg-dev zip
          librsvg2-bin icoutils nsis xvfb xauth xdotool imagemagick)
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
apt_get() { "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@"; }

"$(dirname "$0")/install-deps.sh" "${packages[@]}" >&2 ||
  { echo "make windows: could not install ${packages[*]}" >&2; exit 1; }

# apt-get source needs a deb-src entry; when there is none, one is added for each of the
# machine's own deb entries (tools/deb-src-entries.sh), so the sources come from its own mirror.
apt_dir=${ZARV_APT_DIR:-/etc/apt}
apt_options=()
[ -n "${ZARV_APT_DIR:-}" ] && apt_options=(-o "Dir::Etc=$apt_dir")
entries=$(ZARV_APT_DIR=$apt_dir "$(dirname "$0")/deb-src-entries.sh") || exit 1
if [ -n "$entries" ]; then
  echo "Adding deb-src entries beside the deb entries of $apt_dir" >&2
  printf '%s\n' "$entries" | "${as_root[@]}" tee "$apt_dir/sources.list.d/zarv-deb-src.sources" >/dev/null
  apt_get "${apt_options[@]}" update -qq >&2 || true
fi

# Unpacks Debian's source package $1 (upstream directory $2-*) into $cache/$1-src once; prints its directory.
source_of() {
  local dir=$cache/$1-src src
  src=$(find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$2-*" 2>/dev/null | head -n1 || true)
  if [ -z "$src" ]; then
    mkdir -p "$dir"
    (cd "$dir" && apt-get "${apt_options[@]}" source --download-only "$1" >&2) ||
      { echo "make windows: Debian's $1 source package could not be fetched (deb-src entry, network)" >&2; exit 1; }
    tar -xf "$(ls "$dir/$1"_*.orig.tar.* | head -n1)" -C "$dir"
    src=$(find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$2-*" | head -n1)
  fi
  echo "$src"
}
source_of freeglut freeglut
source_of libsdl2 SDL2
