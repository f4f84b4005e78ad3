#!/bin/sh
# Runs inside the virtual X server (see edit-title.sh).
set -eu
program=$1
file=$2
title=$3

cd "$(dirname "$file")"
QT_QPA_PLATFORM=xcb "$program" "$(basename "$file")" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nelo Qcm' | head -n 1)
[ -n "$window" ] || { echo "the main window did not appear"; exit 1; }
sleep 1
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
# The title box has the focus after loading: select its text and type over it.
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$title"
xdotool key --clearmodifiers ctrl+s
sleep 1
xdotool key --clearmodifiers alt+x

# Saved and unmodified: the program quits without asking anything.
i=0
while kill -0 $pid 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 100 ]; then
    echo "the program did not quit (a question left open?)"
    exit 1
  fi
  sleep 0.1
done
wait $pid
trap - EXIT
