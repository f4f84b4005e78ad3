#!/usr/bin/env bash
# Installs the build under /usr in a scratch DESTDIR, as a package would, and checks that every
# file the desktop needs is in place; a second install under another prefix checks that the
# manual page names the folders it was really installed in.
# Usage: stage-install.sh <cmake> <build dir> <stage dir> <file under the prefix>...
set -euo pipefail
cmake=$1 build=$2 stage=$3
shift 3

rm -rf "$stage" "$stage-opt"
DESTDIR="$stage" "$cmake" --install "$build" --prefix /usr >/dev/null

status=0
for path in "$@"; do
  if [[ ! -e "$stage/usr/$path" ]]; then
    echo "FAIL: /usr/$path was not installed"
    status=1
  fi
done
[[ -x "$stage/usr/bin/nelo-qcm" ]] || { echo "FAIL: /usr/bin/nelo-qcm is not executable"; status=1; }

manual_page_names() { # <stage> <prefix>
  gzip -dc "$1$2/share/man/man1/nelo-qcm.1.gz" | grep -q "^\.I ${2//\//\\/}/share/nelo\\\\-qcm/examples/\$"
}
manual_page_names "$stage" /usr || { echo "FAIL: the manual page does not name /usr/share/nelo-qcm/examples"; status=1; }

DESTDIR="$stage-opt" "$cmake" --install "$build" --prefix /opt/nelo >/dev/null
manual_page_names "$stage-opt" /opt/nelo \
  || { echo "FAIL: installed under /opt/nelo, the manual page names another folder"; status=1; }
rm -rf "$stage-opt"

[[ $status -eq 0 ]] && echo "installed into $stage"
exit $status
