#!/bin/sh
# End-to-end class run of the real program under a virtual X server: open the sample
# questionnaire, "Faire passer à la classe...", three pupils answer with the keyboard, one by
# one, in the full-screen pupils' window; the teacher stops the session; the results file is
# checked row by row, and the statistics open.
# Usage: run-class.sh <nelo-qcm executable> <clipboard reader> <sample .qcm> [pictures...]
# Exit code 77 (skipped) when xvfb-run or xdotool is not installed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/launch-lib.sh"
prepare_clipboard_run "$@"
# Class lists and settings of this run stay in the scratch folder.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"

xvfb-run -a -s "-screen 0 1366x768x24" "$here/run-class-session.sh" "$program" "$reader" "$work/quiz.qcm" "$work"
python3 "$here/check-class.py" "$sample" "$work"
