#!/bin/sh
# Runs inside the virtual X server (see run-class.sh).
set -eu
program=$1
reader=$2
file=$3
work=$4

. "$(dirname "$0")/session-lib.sh"
open_main_window "$program" "$file"
xdotool key --clearmodifiers --delay 200 alt+q c

# The teacher chooses the code that will stop the run, typed twice.
code=$(window_named "^Code de l'enseignant$")
[ -n "$code" ] || { echo "\"Faire passer à la classe...\" asked for no teacher's code"; exit 1; }
sleep 0.3
focus "$code"
xdotool type --delay 30 "prof1789"
xdotool key Tab
xdotool type --delay 30 "prof1789"
xdotool key Return

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
  press_return_in '^Nelo Qcm$' "\"Terminer\" asked nothing"
  sleep 0.5
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
# session by chance: the teacher clicks it, then types the code (a wrong one first: the
# window stays).
eval "$(xdotool getwindowgeometry --shell "$pupils")"
xdotool mousemove --window "$pupils" $((WIDTH - 90)) 25 click 1
sleep 0.5
xdotool type --delay 30 "eleve"
xdotool key Return
sleep 0.5
[ -n "$(xdotool search --onlyvisible --name '^Passation du questionnaire$' | head -n 1)" ] \
  || { echo "a wrong code closed the pupils' window"; exit 1; }
xdotool type --delay 30 "prof1789"
xdotool key Return
# The summary names the results file.
press_return_in '^Nelo Qcm$' "the end of the session said nothing"
sleep 0.5

# Copies with Ctrl+C into the file $1, waiting for the clipboard to fill (a slow sanitizer
# build takes a moment) and to change from what $2 holds.
copy_into() {
  xdotool key --clearmodifiers ctrl+c
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    sleep 0.5
    if "$reader" > "$1" && ! cmp -s "$1" "$2"; then return 0; fi
  done
  echo "nothing was copied into $1"
  exit 1
}

# The statistics of the class open from the "Questionnaire" menu: both tables copied with
# Ctrl+C, the questions' then the pupils' (Alt+L), then Escape closes them.
open_statistics
copy_into "$work/statistics-questions.txt" /dev/null
xdotool key --clearmodifiers alt+l
sleep 0.3
copy_into "$work/statistics-pupils.txt" "$work/statistics-questions.txt"
xdotool key --delay 200 Escape

# "Exporter les notes...": the latest run of each pupil, in the file proposed beside the
# results; the box that says what was left out is closed.
sleep 0.5
focus "$main"
xdotool key --clearmodifiers --delay 200 alt+q n
press_return_in '^Exporter les notes$' "\"Exporter les notes...\" did not open its dialog"
sleep 0.2
press_return_in '^Enregistrer sous$' "the marks export asked for no file"
press_return_in '^Nelo Qcm$' "the marks export said nothing"

sleep 0.5
focus "$main"
xdotool key --clearmodifiers alt+x
wait_until_quit "a window or a question left open?"
