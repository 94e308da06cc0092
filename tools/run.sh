#!/usr/bin/env bash
# Starts the game from the build directory, in the current directory (zarv.cfg lives there).
# Without a display (a server, a container, CI) it plays a short System Test on a virtual display
# instead and saves screenshots of the menu and of the game under the build directory.
set -euo pipefail
build=${1:-build}
game="$build/zarv"

if [ -n "${DISPLAY:-}" ]; then
  exec "$game"
fi

for tool in Xvfb xdotool import; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "No display, and $tool is missing for the virtual one: run tools/install-deps.sh" >&2
    exit 1
  fi
done

build_abs=$(cd "$build" && pwd)
game_abs="$build_abs/zarv"
menu_shot="$build_abs/zarv-menu.png"
game_shot="$build_abs/zarv-game.png"
work=$(mktemp -d)
xvfb_pid=""
game_pid=""

cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to the file descriptor we give it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 +extension GLX +extension RANDR -nolisten tcp \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_number=""
for _ in $(seq 1 100); do
  display_number=$(tr -dc '0-9' <"$work/display")
  [ -n "$display_number" ] && break
  sleep 0.1
done
if [ -z "$display_number" ]; then
  echo "The virtual display did not start" >&2
  exit 1
fi
export DISPLAY=":$display_number"

# A key held for a moment, long enough for the game's once-a-frame keyboard poll to see it.
press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
  sleep 0.3
}

echo "No display: playing a System Test on the virtual display $DISPLAY"
(cd "$work" && exec "$game_abs") &
game_pid=$!

window=$(timeout 20 xdotool search --sync --name "zarv 713a" | head -n 1) || true
if [ -z "$window" ]; then
  echo "The game window did not appear" >&2
  exit 1
fi
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 1.5
import -window root "$menu_shot"

# From the first highlighted row, Up reaches "System Test".
press Up
press Return
sleep 8
import -window root "$game_shot"

press F12
for _ in $(seq 1 30); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
wait "$game_pid" 2>/dev/null || true
game_pid=""

echo "Menu screenshot: $menu_shot"
echo "Game screenshot: $game_shot"
