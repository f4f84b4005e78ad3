#!/bin/sh
# Runs inside the virtual X server (see edit-title.sh).
set -eu
program=$1
file=$2
title=$3

. "$(dirname "$0")/session-lib.sh"
open_main_window "$program" "$file"
# The title box has the focus after loading: select its text and type over it.
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$title"
xdotool key --clearmodifiers ctrl+s
sleep 1
xdotool key --clearmodifiers alt+x

# Saved and unmodified: the program quits without asking anything.
wait_until_quit "a question left open?"
