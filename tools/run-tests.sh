#!/usr/bin/env bash
# Runs every test program of a build directory under a virtual X display of its own.
set -euo pipefail
build=${1:?build directory}
screen="-screen 0 2560x1920x24 +extension GLX +extension RANDR"
# -a picks a free display number, so a desktop session or another run is never touched.
exec xvfb-run -a -s "$screen" ctest --test-dir "$build" --output-on-failure --timeout 900
