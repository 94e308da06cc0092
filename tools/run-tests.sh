#!/usr/bin/env bash
# Runs every test program of a build directory under a virtual X display of its own.
set -euo pipefail
build=${1:?build directory}
# -noreset: the server otherwise resets whenever its last client leaves, and one of the test
# programs that come and go one after another can find no display while it does.
screen="-screen 0 2560x1920x24 +extension GLX +extension RANDR -noreset"
# -a picks a free display number, so a desktop session or another run is never touched.
exec xvfb-run -a -s "$screen" ctest --test-dir "$build" --output-on-failure --timeout 900
