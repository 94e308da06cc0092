#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: the installer, its test programs on a private virtual
# display, then the end-to-end tests of a Linux build driving zarv.exe (ZARV_GAME_COMMAND).
# Usage: tools/run-windows-tests.sh <windows build dir> <linux build dir>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "${1:?windows build directory}" && pwd)
linux=$(cd "${2:?linux build directory}" && pwd)

# A Wine prefix of our own, quiet, never asking for Mono or Gecko; gone afterwards.
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/zarv-wine-XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
# Wine's desktop process keeps the display it was started with: end it whenever a display goes.
wineserver -k 2>/dev/null || true

# -noreset: the server otherwise resets whenever its last client leaves, and one of the test
# programs that come and go one after another can find no display while it does.
screen="-screen 0 2560x1920x24 +extension GLX +extension RANDR -noreset"
status=0
# The installer first, into the prefix while it is as new as a player's.
xvfb-run -a -s "$screen" "$root/tests/package/windows_installer_test.sh" "$win/zarv-setup-x64.exe" \
  "$win/zarv-windows-x64.zip" || status=1
wineserver -k 2>/dev/null || true
xvfb-run -a -s "$screen" ctest --test-dir "$win/zarv" --output-on-failure --timeout 900 || status=1
wineserver -k 2>/dev/null || true
# The harness starts a display of its own for every run of the game, and Wine's desktop process
# stays on the display it was started with: every run starts a fresh Wine server.
ZARV_GAME_COMMAND="wineserver -k 2>/dev/null; wineserver -w; exec wine '$win/zarv/zarv.exe'" \
  "$linux/tests/test_e2e" || status=1
exit $status
