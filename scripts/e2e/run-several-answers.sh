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
require_tools
command -v import >/dev/null 2>&1 || { echo "skipped: import is not installed"; exit 77; }
require -x "$program" program
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Class lists, settings and the teacher's code stay in the scratch folder.
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
python=/usr/bin/python3
[ -x "$python" ] || python=python3
xvfb-run -a -s "-screen 0 1366x768x24" "$python" "$here/several-answers.py" "$program" "$work" $shots
