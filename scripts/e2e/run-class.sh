#!/bin/sh
# End-to-end class run of the real program under a virtual X server: open the sample
# questionnaire, "Faire passer à la classe...", three pupils answer with the keyboard, one by
# one, in the full-screen pupils' window; the teacher stops the session; the results file is
# checked row by row, and the statistics open.
# Usage: run-class.sh <nelo-qcm executable> <sample .qcm> [pictures...]
# Exit code 77 (skipped) when xvfb-run or xdotool is not installed.
set -eu
program=$(readlink -f "$1")
sample=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run xdotool python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done
[ -x "$program" ] || { echo "no program at $program"; exit 1; }
[ -f "$sample" ] || { echo "no sample questionnaire at $sample"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample" "$work/quiz.qcm"
for picture in "$@"; do cp "$picture" "$work/"; done
# Class lists and settings of this run stay in the scratch folder.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"

xvfb-run -a -s "-screen 0 1366x768x24" "$here/run-class-session.sh" "$program" "$work/quiz.qcm" "$work"
python3 "$here/check-class.py" "$sample" "$work/quiz-resultats.csv" "$work/notes.csv"
