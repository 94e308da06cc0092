#!/usr/bin/env bash
# The game as players install it: the install tree and its desktop files, the .deb, the unpacked
# game and launcher on a display of their own.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
id=io.github.zarv.Zarv
work=$(mktemp -d)
cleanup() {
  kill ${game_pid:-} ${xvfb_pid:-} 2>/dev/null || true
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
logged() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; fail "$*"; }; }

# The install tree (its programs run from the package below).
DESTDIR="$work/tree" cmake --install "$build" --prefix /usr >/dev/null
share=$work/tree/usr/share
# The icons are rendered at build time from the SVG, at their sizes: here only where they go.
for f in man/man6/zarv-launcher.6.gz doc/zarv/copyright doc/zarv/changelog.Debian.gz \
  icons/hicolor/scalable/apps/$id.svg icons/hicolor/{48x48,64x64,128x128,256x256}/apps/$id.png; do
  [ -e "$share/$f" ] || fail "the install tree lacks $f"
done
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
logged appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"

# The package: the same files as the install tree, no settings file and no maintainer scripts
# (so installing or purging can never touch a player's zarv.cfg), a stripped program.
logged cpack --config "$build/CPackConfig.cmake" -B "$work/deb"
deb=$(echo "$work"/deb/zarv_*.deb)
(cd "$work/tree" && find . -mindepth 1 | sort) >"$work/tree.list"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's,/$,,' | sort >"$work/deb.list"
diff "$work/tree.list" "$work/deb.list" || fail "the package and the install tree differ"
grep -q 'zarv\.cfg' "$work/deb.list" && fail "the package carries a settings file"
dpkg-deb -e "$deb" "$work/control"
ls "$work/control" | grep -Evq '^(control|md5sums)$' && fail "the package has maintainer scripts"
grep -q '^Depends:.*fonts-liberation2' "$work/control/control" || fail "no font dependency"
grep -Eq '^Depends:.*(^| )fluidsynth( |,|$)' "$work/control/control" && fail "depends on the synth command"
logged apt-get install --simulate "$deb"
dpkg-deb -x "$deb" "$work/root"
readelf -S "$work/root/usr/games/zarv" | grep -q '\.symtab' && fail "the program is not stripped"

Xvfb -displayfd 3 -screen 0 1280x1024x24 +extension GLX +extension RANDR -nolisten tcp \
  3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do grep -qs '[0-9]' "$work/display" && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$work/display")"

# plays HOW DIR KEYS COMMAND...: COMMAND in DIR (stderr in $work/err) must end with status 1 after KEYS
# (a game that does not end is stopped after a minute).
plays() {
  local how=$1 dir=$2 keys=$3
  shift 3
  (cd "$dir" && exec timeout 60 "$@") 2>"$work/err" &
  game_pid=$!
  timeout 15 xdotool search --sync --name '^zarv 713a$' windowfocus --sync >/dev/null 2>&1 ||
    fail "$how: no window: $(cat "$work/err")"
  sleep 0.5
  for key in $keys; do xdotool keydown "$key"; sleep 0.15; xdotool keyup "$key"; sleep 0.3; done
  wait "$game_pid" && status=0 || status=$?
  game_pid=""
  [ "$status" = 1 ] || fail "$how: exit status $status"
}

mkdir "$work/fresh" "$work/home" "$work/cwd" "$work/tmp"
plays "F12 in a directory the game has never seen" "$work/fresh" F12 "$work/root/usr/games/zarv"
[ -z "$(ls -A "$work/fresh")" ] || fail "F12 left files behind"
plays "Exit through the launcher" "$work/cwd" "Escape Return" \
  env -u XDG_CONFIG_HOME HOME="$work/home" "$work/root/usr/games/zarv-launcher"
found=$(find "$work" -name zarv.cfg -not -path "$work/root/*")
[ "$found" = "$work/home/.config/zarv/zarv.cfg" ] || fail "zarv.cfg written as: $found"
# A home that cannot hold the settings folder: the game still starts, and the player is told why.
touch "$work/not-a-folder"
plays "Exit through the launcher without a settings folder" "$work/cwd" "Escape Return" \
  env -u XDG_CONFIG_HOME HOME="$work/not-a-folder" TMPDIR="$work/tmp" "$work/root/usr/games/zarv-launcher"
grep -q 'cannot use the settings folder' "$work/err" || fail "the launcher did not say why"

echo "package test passed"
