#!/bin/sh
# Runs inside the virtual X server (see run-questionnaire.sh).
set -eu
program=$1
reader=$2
file=$3
results=$4

cd "$(dirname "$file")"
QT_QPA_PLATFORM=xcb "$program" "$(basename "$file")" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}
# The first visible window whose name is exactly $1, waited for at most 30 seconds.
window_named() {
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

main=$(window_named '^Nelo Qcm')
[ -n "$main" ] || { echo "the main window did not appear"; exit 1; }
sleep 1
focus "$main"
xdotool key --clearmodifiers F9

runner=$(window_named '^Questionnaire$')
[ -n "$runner" ] || { echo "F9 did not open the runner"; exit 1; }
sleep 1
focus "$runner"
# The answer box has the focus; its text is selected, so a digit replaces it.
xdotool key --delay 100 2 Next 3 Next 4
# Back and forth: the answers stay.
xdotool key --delay 100 Prior Next
# Tab goes from the answer box to "Résultat".
xdotool key --delay 100 Tab space

grid=$(window_named '^Resultat$')
[ -n "$grid" ] || { echo "\"Résultat\" did not open the results"; exit 1; }
sleep 1
focus "$grid"
xdotool key --clearmodifiers ctrl+c
# A slow (sanitizer) build may take a moment to fill the clipboard.
copied=false
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  sleep 0.5
  if "$reader" > "$results"; then copied=true; break; fi
done
$copied || { echo "nothing was copied from the results"; exit 1; }

# Escape closes the results, then the runner; the questionnaire was not changed, so quitting
# asks nothing.
xdotool key --delay 200 Escape
focus "$runner"
xdotool key --delay 200 Escape
sleep 0.5
focus "$main"
xdotool key --clearmodifiers alt+x

i=0
while kill -0 $pid 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 100 ]; then
    echo "the program did not quit (a window or a question left open?)"
    exit 1
  fi
  sleep 0.1
done
wait $pid
trap - EXIT
