#!/bin/sh
# Runs inside the virtual X server (see run-questionnaire.sh).
set -eu
program=$1
reader=$2
file=$3
results=$4

. "$(dirname "$0")/session-lib.sh"
open_main_window "$program" "$file"
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

# "Enregistrer..." keeps the run under the pupil's name, beside the questionnaire; the message
# that says so must come in front of the maximised runner.
xdotool key --clearmodifiers alt+e
pupil=$(window_named '^Enregistrer les résultats$')
[ -n "$pupil" ] || { echo "\"Enregistrer...\" did not ask the pupil's name"; exit 1; }
sleep 0.5
focus "$pupil"
xdotool type --delay 50 "Léa Martin"
xdotool key Return
saved=$(window_named '^Nelo Qcm$')
[ -n "$saved" ] || { echo "saving the results said nothing"; exit 1; }
sleep 0.5
focus "$saved"
xdotool key Return
sleep 0.5

# Escape closes the results, then the runner.
focus "$grid"
xdotool key --delay 200 Escape
focus "$runner"
xdotool key --delay 200 Escape
sleep 0.5

# The statistics of the kept run open from the "Questionnaire" menu and close with Escape.
open_statistics
xdotool key --delay 200 Escape

# The questionnaire was not changed, so quitting asks nothing.
sleep 0.5
focus "$main"
xdotool key --clearmodifiers alt+x

wait_until_quit "a window or a question left open?"
