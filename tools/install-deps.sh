#!/usr/bin/env bash
# Installs the Debian packages zarv needs to build, run and test, skipping those already present.
# Usage: tools/install-deps.sh [package ...]: the packages named instead of the whole list.
set -euo pipefail

packages=(
  # build
  g++ cmake make pkg-config
  freeglut3-dev libglu1-mesa-dev libgles-dev libegl-dev libx11-dev libxrandr-dev libxi-dev libfreetype-dev libfontconfig-dev
  libfluidsynth-dev libasound2-dev libsdl2-dev libgtest-dev libgmock-dev libbenchmark-dev
  # run: the bold sans-serif face, the General MIDI SoundFonts
  fonts-liberation2 fluid-soundfont-gm fluid-soundfont-gs
  # test: the second compiler with its sanitizer runtimes
  clang libclang-rt-dev
  # test: virtual display, key presses, screenshots, mode queries; an X server that really switches modes
  xvfb xauth xdotool x11-utils imagemagick x11-xserver-utils xserver-xorg-video-dummy
  # package: the icon's sizes, the .deb and the checks of what it installs
  librsvg2-bin dpkg-dev file desktop-file-utils appstream libxml2-utils man-db
)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq || true
"${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
