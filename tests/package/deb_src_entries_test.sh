#!/usr/bin/env bash
# The deb-src entries make windows adds follow the machine's own deb entries, in either form apt
# reads, keyring and all; an existing deb-src entry adds nothing, and no deb entry is a clear stop.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/tools/deb-src-entries.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Made-up mirrors, built here so that no line of the project names a repository.
mirror=http://mirror.invalid/debian
key=/usr/share/keyrings/fixture.gpg

# The case's name, the output expected (a pattern), then each file as path:text (\n ends a line).
check() {
  local name=$1 expected got; expected=$(printf '%b' "$2"); shift 2
  rm -rf "$work/apt" && mkdir -p "$work/apt/sources.list.d"
  for file in "$@"; do printf '%b\n' "${file#*:}" > "$work/apt/${file%%:*}"; done
  got=$(ZARV_APT_DIR=$work/apt "$script" 2>"$work/err") || got="failed: $(cat "$work/err")"
  # shellcheck disable=SC2053
  [[ $got == $expected ]] || fail "$name: got
$got"
}

check "one-line entry, options in brackets" \
  "Types: deb-src\nURIs: $mirror\nSuites: bookworm\nComponents: main contrib\nSigned-By: $key\ncheck-valid-until: no" \
  "sources.list:# deb-src $mirror bookworm main\ndeb [ arch=amd64 signed-by=$key check-valid-until=no ] $mirror bookworm main contrib" \
  "sources.list.d/old.list.disabled:deb-src $mirror bookworm main"
check "deb822 entry, a disabled one beside it" \
  "Types: deb-src\nURIs: $mirror\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: $key" \
  "sources.list.d/debian.sources:Types: deb\n# a comment\nURIs: $mirror\nSuites: bookworm bookworm-updates\nComponents: main\nArchitectures: amd64\nSigned-By: $key\n\nTypes: deb-src\nURIs: $mirror\nSuites: sid\nEnabled: no"
check "a deb-src entry exists" "" \
  "sources.list:deb [signed-by=$key] $mirror bookworm main" \
  "sources.list.d/debian.sources:Types: deb deb-src\nURIs: $mirror\nSuites: bookworm\nComponents: main"
check "no deb entry" "failed: make windows: no deb entry in $work/apt *" \
  "sources.list:# nothing\n"
