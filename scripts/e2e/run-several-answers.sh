#!/bin/sh
# End-to-end questions with several right answers: the real program under a virtual X server, a
# pupil at the class computer (the pupils' window, keyboard only) and one on a phone (headless
# Chromium's mobile emulation) through the network session; the marks checked in the results
# file (see several-answers.py).
# Usage: run-several-answers.sh <nelo-qcm executable> [screenshots folder]
# Exit code 77 (skipped) when a tool the session needs is not installed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/launch-lib.sh"
program=$(readlink -f "$1")
shots=${2:-}
[ -z "$shots" ] || shots=$(readlink -f "$shots")
require_tools import
require -x "$program" program
make_scratch_home
# shellcheck disable=SC2086 # no folder, no argument
run_on_screen 1366x768 several-answers.py $shots
