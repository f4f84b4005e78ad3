# Shared steps of the packaging checks, sourced after `set -euo pipefail` and `status=0`.

# Records a failed check; the script goes on and exits with $status at the end.
fail() { echo "FAIL: $*"; status=1; }

# Skips the whole check (exit code 77) when one of the tools is not installed.
need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed (scripts/install-deps packaging installs it)"
      exit 77
    fi
  done
}
