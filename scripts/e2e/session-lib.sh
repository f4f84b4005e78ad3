# Shared steps of the end-to-end sessions, sourced by the scripts that run inside the virtual
# X server. Each caller sets `set -eu` first.

# Starts the program on a questionnaire from its own folder, so bare picture names resolve; the
# program is killed if the session stops early.
start_program() {
  cd "$(dirname "$2")"
  QT_QPA_PLATFORM=xcb "$1" "$(basename "$2")" &
  pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT
}

# Starts the program as start_program does and waits for its main window, `main`, focused.
open_main_window() {
  start_program "$1" "$2"
  main=$(window_named '^Nelo Qcm')
  [ -n "$main" ] || { echo "the main window did not appear"; exit 1; }
  sleep 1
  focus "$main"
}

# Opens "Questionnaire > Statistiques des résultats..." from `main`: `statistics`, focused.
open_statistics() {
  focus "$main"
  xdotool key --clearmodifiers --delay 200 alt+q s
  statistics=$(window_named '^Statistiques des résultats$')
  [ -n "$statistics" ] || { echo "the statistics did not open"; exit 1; }
  sleep 0.5
  focus "$statistics"
}

focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

# The first visible window whose name matches $1, waited for at most 30 seconds. Polled rather
# than `search --sync`: a search walks every window, and one closing meanwhile (the file
# dialog that has just been answered) makes xdotool die of an X error with nothing printed.
window_named() {
  i=0
  while [ $i -lt 300 ]; do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    if [ -n "$found" ]; then
      echo "$found"
      return 0
    fi
    i=$((i + 1))
    sleep 0.1
  done
}

# Waits at most 10 seconds for the program to quit on its own; $1 says what may be holding it.
wait_until_quit() {
  i=0
  while kill -0 $pid 2>/dev/null; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then
      echo "the program did not quit ($1)"
      exit 1
    fi
    sleep 0.1
  done
  wait $pid
  trap - EXIT
}

# Waits for the window named $1, focuses it and presses Return (its default button); $2 says
# what went wrong when it never shows.
press_return_in() {
  window=$(window_named "$1")
  [ -n "$window" ] || { echo "$2"; exit 1; }
  sleep 0.3
  focus "$window"
  xdotool key Return
  # The next window of the same name must not be taken for this one while it closes: wait
  # (at most 10 seconds) until this one is gone, seen gone twice in a row since a search cut
  # short by another window's closing also misses it.
  i=0
  absent=0
  while [ $absent -lt 2 ]; do
    if xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -qx "$window"; then
      absent=0
    else
      absent=$((absent + 1))
    fi
    i=$((i + 1))
    [ $i -le 100 ] || { echo "$2 (the window stayed open)"; exit 1; }
    sleep 0.1
  done
}
