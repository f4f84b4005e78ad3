#!/bin/sh
# End-to-end live session of the real program under a virtual X server, with five pupils in
# headless Chromium: the teacher paces three questions from the control window (see
# live-session.py). NELO_LIVE_SHOTS=<folder> also takes the screenshots of the live windows.
# Usage: run-live-session.sh <nelo-qcm executable> <examples folder>
# Exit code 77 (skipped) when a tool the session needs is not installed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/launch-lib.sh"
program=$(readlink -f "$1")
examples=$2
require_tools import
require -x "$program" program
require -f "$examples/drapeau-france.bmp" "sample picture"
make_scratch_home "$examples/drapeau-france.bmp"
# A screen as large as a projector's, so that the projector window can be shot at 1920x1080.
run_on_screen 1920x1080 live-session.py
