#!/bin/sh
# End-to-end run of the real program under a virtual X server: open a questionnaire given on
# the command line, replace the first question's title with the keyboard, save with Ctrl+S,
# quit with Alt+X, then compare the saved file byte for byte with the expected result.
# Usage: edit-title.sh <nelo-qcm executable> <sample .qcm>
# Exit code 77 (skipped) when xvfb-run or xdotool is not installed.
set -eu
program=$(readlink -f "$1")
sample=$2
here=$(cd "$(dirname "$0")" && pwd)

. "$here/launch-lib.sh"
require_tools
require -x "$program" program
require -f "$sample" "sample questionnaire"
make_work "$sample"
title="Capitale de la France (test)"

xvfb-run -a -s "-screen 0 1024x768x24" "$here/edit-title-session.sh" "$program" "$work/quiz.qcm" "$title"
python3 "$here/check-edited-title.py" "$sample" "$work/quiz.qcm" "$title"
