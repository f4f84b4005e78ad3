#!/bin/sh
# End-to-end network session of the real program under a virtual X server, with pupils in
# headless Chromium: a copy taken over by a second device with the teacher's leave, a session
# with personal codes printed through the print dialog, and one whose corrections wait for the
# teacher (see network-session.py).
# Usage: run-network-session.sh <nelo-qcm executable> <examples folder>
# Exit code 77 (skipped) when a tool the session needs is not installed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/launch-lib.sh"
program=$(readlink -f "$1")
examples=$2
require_tools import pdftotext
require -x "$program" program
require -f "$examples/drapeau-france.bmp" "sample picture"
make_scratch_home "$examples/drapeau-france.bmp"
run_on_screen 1366x768 network-session.py
