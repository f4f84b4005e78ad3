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
require_tools
command -v import >/dev/null 2>&1 || { echo "skipped: import is not installed"; exit 77; }
require -x "$program" program
require -f "$examples/drapeau-france.bmp" "sample picture"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/drapeau-france.bmp" "$work/"
# The class list, settings and results stay in the scratch folder; the pupils' browsers reach
# this computer's own address directly.
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
python=/usr/bin/python3
[ -x "$python" ] || python=python3
xvfb-run -a -s "-screen 0 1366x768x24" "$python" "$here/time-limit.py" "$program" "$work"
