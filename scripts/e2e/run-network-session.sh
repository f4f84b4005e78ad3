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
require_tools
for tool in import pdftotext; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
require -x "$program" program
require -f "$examples/drapeau-france.bmp" "sample picture"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/drapeau-france.bmp" "$work/"
# Class lists, settings and the print dialog's proposals stay in the scratch folder; the pupils'
# browsers reach this computer's own address directly.
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
# The system's Python, the one Debian's python3-selenium is installed for.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
xvfb-run -a -s "-screen 0 1366x768x24" "$python" "$here/network-session.py" "$program" "$work"
