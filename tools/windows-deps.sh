#!/usr/bin/env bash
# Everything the Windows cross-build needs beyond the Linux one: the MinGW-w64 toolchain, the icon
# tools and NSIS for the installer, Wine for the tests, and freeglut's source from Debian's own source package (fetched once into the cache).
# Usage: tools/windows-deps.sh <cache dir>; prints the freeglut source directory on its last line.
set -euo pipefail
cache=${1:?cache directory}

packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 googletest dpkg-dev zip
          librsvg2-bin icoutils nsis xvfb xauth xdotool imagemagick)
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
apt_get() { "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@"; }

"$(dirname "$0")/install-deps.sh" "${packages[@]}" >&2 ||
  { echo "make windows: could not install ${packages[*]}" >&2; exit 1; }

src=$(find "$cache/freeglut-src" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*' 2>/dev/null | head -n1 || true)
if [ -z "$src" ]; then
  # apt-get source needs a deb-src entry; add one mirroring the system's own deb entry.
  if ! grep -rqs '^\(Types:.*deb-src\|deb-src \)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    . /etc/os-release
    echo "Adding a deb-src entry for ${VERSION_CODENAME}" >&2
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$VERSION_CODENAME" | "${as_root[@]}" tee /etc/apt/sources.list.d/zarv-deb-src.sources >/dev/null
    apt_get update -qq >&2 || true
  fi
  mkdir -p "$cache/freeglut-src"
  (cd "$cache/freeglut-src" && apt-get source --download-only freeglut >&2) ||
    { echo "make windows: Debian's freeglut source package could not be fetched (deb-src entry, network)" >&2; exit 1; }
  tarball=$(ls "$cache"/freeglut-src/freeglut_*.orig.tar.* | head -n1)
  tar -xf "$tarball" -C "$cache/freeglut-src"
  src=$(find "$cache/freeglut-src" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*' | head -n1)
fi
echo "$src"
