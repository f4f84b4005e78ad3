#!/usr/bin/env bash
# Starts the installed program from a folder outside the source and build trees: --version must
# name the version, without a display, and the installed sample questionnaire must open until
# the main window shows.
# Usage: run-installed.sh <stage dir> <version>
set -euo pipefail
stage=$1 version=$2
program=$stage/usr/bin/nelo-qcm
sample=$stage/usr/share/nelo-qcm/examples/capitales.qcm

elsewhere=$(mktemp -d)
trap 'rm -rf "$elsewhere"' EXIT
cd "$elsewhere"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$elsewhere

# --version answers without a display (over ssh, in a terminal on a server).
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "$program" --version)
if [[ "$answer" != *"$version"* ]]; then
  echo "FAIL: '--version' answered '$answer', without $version"
  exit 1
fi
echo "--version: $answer"

# A questionnaire that fails to open leaves a message box waiting: the time limit catches it.
if ! shown=$(timeout 60 "$program" --quit-when-shown "$sample"); then
  echo "FAIL: the installed program did not show its window on $sample"
  exit 1
fi
if [[ "$shown" != "shown" ]]; then
  echo "FAIL: the installed program printed '$shown' instead of 'shown'"
  exit 1
fi
echo "the installed program opened $sample"

# Scans are read by a module in the program's private folder: a picture that is no copy is read
# and said unreadable (status 2), where a missing module would stop everything (status 1).
picture=$stage/usr/share/nelo-qcm/examples/drapeau-france.bmp
status=0
said=$(timeout 60 "$program" --corriger "$sample" "$picture" 2>&1) || status=$?
if [[ $status -ne 2 || "$said" == *module* ]]; then
  echo "FAIL: the installed program did not read a scan with its module (status $status): $said"
  exit 1
fi
echo "the installed program read a scan with its module"
