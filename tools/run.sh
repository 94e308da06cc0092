#!/usr/bin/env bash
# Starts the game from the build directory, in the current directory (zarv.cfg lives there).
set -euo pipefail
build=${1:-build}
exec "$build/zarv"
