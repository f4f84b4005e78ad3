#!/bin/sh
# End-to-end time limit of the real program under a virtual X server: a two-minute network
# session, a class list kept beforehand with one pupil at "+50 %", two pupils in headless
# Chromium whose device clocks are wrong (see time-limit.py). It takes a little over three
# minutes, most of them waiting. NELO_TIME_SHOTS=<folder> also takes the phone page's shot.
# Usage: run-time-limit.sh <nelo-qcm executable> <examples folder>
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
run_on_screen 1366x768 time-limit.py
