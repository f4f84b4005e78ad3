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
require_tools
command -v import >/dev/null 2>&1 || { echo "skipped: import is not installed"; exit 77; }
require -x "$program" program
require -f "$examples/drapeau-france.bmp" "sample picture"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/drapeau-france.bmp" "$work/"
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
python=/usr/bin/python3
[ -x "$python" ] || python=python3
# A screen as large as a projector's, so that the projector window can be shot at 1920x1080.
xvfb-run -a -s "-screen 0 1920x1080x24" "$python" "$here/live-session.py" "$program" "$work"
