#!/bin/sh
# Runs inside the virtual X server (see run-class.sh).
set -eu
program=$1
file=$2
work=$3

. "$(dirname "$0")/session-lib.sh"
start_program "$program" "$file"

main=$(window_named '^Nelo Qcm')
[ -n "$main" ] || { echo "the main window did not appear"; exit 1; }
sleep 1
focus "$main"
xdotool key --clearmodifiers --delay 200 alt+q c

pupils=$(window_named '^Passation du questionnaire$')
[ -n "$pupils" ] || { echo "\"Faire passer à la classe...\" did not open the pupils' window"; exit 1; }
sleep 1

# One pupil: a name typed, then answers given with the digit keys, PgDn between questions.
answer() {
  name=$1
  shift
  focus "$pupils"
  xdotool type --delay 30 "$name"
  xdotool key Return
  sleep 0.5
  for digit in "$@"; do
    xdotool key --delay 80 "$digit" Next
  done
  xdotool key --clearmodifiers alt+t
  confirm=$(window_named '^Nelo Qcm$')
  [ -n "$confirm" ] || { echo "\"Terminer\" asked nothing"; exit 1; }
  sleep 0.3
  focus "$confirm"
  xdotool key Return
  sleep 0.8
  focus "$pupils"
  # "Élève suivant" has the focus on the end page.
  xdotool key Return
  sleep 0.5
}

answer "Léa Martin" 2 3 4
answer "Noé Petit" 1 1 1 1 1 1 1 1 1 1 1 1
# The third pupil is in the middle of the questionnaire when the teacher stops.
focus "$pupils"
xdotool type --delay 30 "Zoé Durand"
xdotool key Return
sleep 0.5
xdotool key --delay 80 2 Next 1 Next
# Escape does nothing: the pupils' window stays.
xdotool key Escape
sleep 0.3
[ -n "$(xdotool search --onlyvisible --name '^Passation du questionnaire$' | head -n 1)" ] \
  || { echo "Escape closed the pupils' window"; exit 1; }

# "Arrêter la passation" stands at the top right; it has no key, so that no pupil stops the
# session by chance: the teacher clicks it.
eval "$(xdotool getwindowgeometry --shell "$pupils")"
xdotool mousemove --window "$pupils" $((WIDTH - 90)) 25 click 1
confirm=$(window_named '^Nelo Qcm$')
[ -n "$confirm" ] || { echo "\"Arrêter la passation\" asked nothing"; exit 1; }
sleep 0.3
focus "$confirm"
xdotool key Return
# The summary names the results file.
summary=$(window_named '^Nelo Qcm$')
[ -n "$summary" ] || { echo "the end of the session said nothing"; exit 1; }
sleep 0.5
focus "$summary"
xdotool key Return
sleep 0.5

# The statistics of the class open from the "Questionnaire" menu and close with Escape.
focus "$main"
xdotool key --clearmodifiers --delay 200 alt+q s
statistics=$(window_named '^Statistiques des résultats$')
[ -n "$statistics" ] || { echo "the statistics did not open"; exit 1; }
sleep 0.5
focus "$statistics"
xdotool key --delay 200 Escape

sleep 0.5
focus "$main"
xdotool key --clearmodifiers alt+x
wait_until_quit "a window or a question left open?"
