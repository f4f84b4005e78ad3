# Shared steps of the end-to-end scripts that start the virtual X server, sourced by them.
# Each caller sets `set -eu` first.

# Exit code 77 (skipped) when a tool the sessions need, or one of the further tools a run names
# ($@), is not installed.
require_tools() {
  for tool in xvfb-run xdotool python3 "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
}

# Fails when what the test needs is missing: $1 the test ("-x" or "-f"), $2 the path, $3 what it is.
require() {
  [ "$1" "$2" ] || { echo "no $3 at $2"; exit 1; }
}

# A scratch folder `work`, removed at exit, holding the questionnaire $1 as quiz.qcm and the
# pictures that follow it.
make_work() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "$1" "$work/quiz.qcm"
  shift
  for picture in "$@"; do cp "$picture" "$work/"; done
}

# The runs that read the clipboard: $1 the program, $2 the clipboard reader, $3 the sample
# questionnaire, then its pictures. Checks them, sets `program` and `reader`, and makes `work`.
prepare_clipboard_run() {
  program=$(readlink -f "$1")
  reader=$(readlink -f "$2")
  sample=$3
  shift 3
  require_tools
  require -x "$program" program
  require -x "$reader" "clipboard reader"
  require -f "$sample" "sample questionnaire"
  make_work "$sample" "$@"
}

# A scratch folder `work`, removed at exit, holding the files $@, where the program keeps its
# class lists, settings, teacher's code and dialogs' proposals; the pupils' browsers reach this
# computer's own address directly.
make_scratch_home() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  for file in "$@"; do cp "$file" "$work/"; done
  mkdir -p "$work/home"
  export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
}

# Runs the script $2 of this folder on a virtual screen of $1 ("1366x768") with `program`,
# `work` and the further arguments, in the system's Python: the one Debian's python3-selenium
# is installed for. The caller sets `here` to this folder.
run_on_screen() {
  size=$1
  script=$2
  shift 2
  python=/usr/bin/python3
  [ -x "$python" ] || python=python3
  xvfb-run -a -s "-screen 0 ${size}x24" "$python" "$here/$script" "$program" "$work" "$@"
}
