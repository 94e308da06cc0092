#!/usr/bin/env bash
# The deb-src entries make windows adds follow the machine's own deb entries, in either form apt
# reads, keyring and all; an existing deb-src entry adds nothing, and no deb entry is a clear stop.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/tools/deb-src-entries.sh
apt=$(mktemp -d)
trap 'rm -rf "$apt"' EXIT
# A made-up mirror, put together here so that no line of the project names a repository.
m=http://mirror.invalid/debian k=/usr/share/keyrings/fixture.gpg
# name, the output expected (a pattern), then each file as path:text (\n ends a line).
check() {
  local name=$1 expected got; expected=$(printf '%b' "$2"); shift 2
  rm -rf "${apt:?}"/* && mkdir "$apt/sources.list.d"
  for file in "$@"; do printf '%b\n' "${file#*:}" >"$apt/${file%%:*}"; done
  got=$(ZARV_APT_DIR=$apt "$script" 2>&1) || got="failed: $got"
  # shellcheck disable=SC2053
  [[ $got == $expected ]] || { printf 'FAIL: %s: got\n%s\n' "$name" "$got" >&2; exit 1; }
}
check "one-line entry" "Types: deb-src\nURIs: $m\nSuites: bookworm\nComponents: main contrib\nSigned-By: $k\ncheck-valid-until: no" \
  "sources.list:# deb-src $m bookworm main\ndeb [ arch=amd64 signed-by=$k check-valid-until=no ] $m bookworm main contrib" \
  "sources.list.d/old.list.disabled:deb-src $m bookworm main"
check "deb822 entry" "Types: deb-src\nURIs: $m\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: $k" \
  "sources.list.d/debian.sources:Types: deb\n# a comment\nURIs: $m\nSuites: bookworm bookworm-updates\nComponents: main\nArchitectures: amd64\nSigned-By: $k\n\nTypes: deb-src\nURIs: $m\nSuites: sid\nEnabled: no"
check "deb-src entry there" "" "sources.list:deb [signed-by=$k] $m bookworm main" \
  "sources.list.d/debian.sources:Types: deb deb-src\nURIs: $m\nSuites: bookworm\nComponents: main"
check "no deb entry" "failed: make windows: no deb entry in $apt *" "sources.list:# nothing"
