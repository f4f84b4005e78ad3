#!/bin/sh
# End-to-end run of the real program under a virtual X server: open the sample questionnaire,
# run it with F9, answer three questions with the keyboard, open the results, copy the grid
# with Ctrl+C and compare its cells with the answers given and the file's titles and solutions;
# keep the run under a pupil's name and open the statistics.
# Usage: run-questionnaire.sh <nelo-qcm executable> <clipboard reader> <sample .qcm> [pictures...]
# Exit code 77 (skipped) when xvfb-run or xdotool is not installed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/launch-lib.sh"
prepare_clipboard_run "$@"

xvfb-run -a -s "-screen 0 1366x768x24" "$here/run-questionnaire-session.sh" "$program" "$reader" "$work/quiz.qcm" \
  "$work/results.txt"
# Questions 1 to 3 answered 2, 3 and 4; the others not.
python3 "$here/check-results.py" "$sample" "$work/results.txt" 2 3 4
python3 "$here/check-results.py" --kept "$sample" "$work/quiz-resultats.csv" "Léa Martin" 2 3 4
