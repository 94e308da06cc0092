#!/usr/bin/env bash
# Usage: windows_installer_test.sh SETUP.EXE ZIP, under Wine in a fresh WINEPREFIX on a display: a silent
# install of the zip's files, the shortcut's game writing zarv.cfg in %APPDATA%\zarv on Exit, and a
# silent uninstall removing everything it installed but zarv.cfg.
set -uo pipefail
setup=$(realpath "${1:?installer}")
zip=$(realpath "${2:?zip}")
log=$WINEPREFIX/installer-test.log
exec 3>&2 2>>"$log"
fail() { echo "installer test: FAILED: $*" >&3; tail -n 20 "$log" >&3; exit 1; }
# within SECONDS COMMAND...: polls until the command succeeds. Wine's and the game's messages go to
# the log, shown on failure.
within() { local limit=$(($1 * 10)); shift; for ((i = 0; i < limit; ++i)); do "$@" && return 0; sleep 0.1; done; return 1; }

home=$WINEPREFIX/drive_c/users/$(id -un)/AppData
programs=$home/Local/Programs/zarv
settings=$home/Roaming/zarv
shortcut="$home/Roaming/Microsoft/Windows/Start Menu/Programs/zarv.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\zarv'

wine "$setup" /S || fail "the installer exited with status $?"
expected=$( (python3 -c 'import sys, zipfile; print("\n".join(n[5:] for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/")))' "$zip"; echo uninstall.exe) | sort)
installed=$(cd "$programs" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ from the zip's: $(diff <(echo "$expected") <(echo "$installed") | tr '\n' ' ')"
bare=$(cd "$programs" && grep -lv $'\r$' $(find . -name '*.txt'))
[ -z "$bare" ] || fail "text files that older Notepads show as one line (LF line ends): $bare"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
values='DisplayName|DisplayVersion|Publisher|DisplayIcon|EstimatedSize|UninstallString'
[ "$(grep -cE "^ *($values) " <<<"$entry")" = 6 ] || fail "Apps & features lacks one of $values: $entry"

# Esc then Enter in the main menu is Exit, which saves; without a window manager a click gives the keys.
wine start /unix "$shortcut" || fail "the shortcut did not start"
within 60 xdotool search --name '^zarv 713a$' >/dev/null || fail "no game window from the shortcut"
window=$(xdotool search --name '^zarv 713a$' | tail -n1)
for attempt in 1 2 3 4 5; do
  xdotool mousemove --window "$window" 200 200 click 1 windowfocus --sync "$window" 2>/dev/null
  for k in Escape Return; do xdotool keydown $k; sleep 0.3; xdotool keyup $k; sleep 0.3; done
  within 10 test -f "$settings/zarv.cfg" && break
done
[ -f "$settings/zarv.cfg" ] || fail "Exit wrote no zarv.cfg in $settings"
timeout 60 wineserver -w

wine "$programs/uninstall.exe" /S || fail "the uninstaller exited with status $?"
# It runs on from a copy of itself, which the first process does not wait for.
timeout 60 wineserver -w
within 30 test ! -e "$programs" || fail "left behind: $(cd "$programs" && find . | tr '\n' ' ')"
[ -e "$shortcut" ] && fail "the shortcut stayed"
wine reg query "$key" >/dev/null 2>&1 && fail "the Apps & features entry stayed"
[ -f "$settings/zarv.cfg" ] || fail "the uninstaller removed zarv.cfg"
echo "installer test: passed ($(wc -l <<<"$installed") files installed and removed, zarv.cfg kept)"
