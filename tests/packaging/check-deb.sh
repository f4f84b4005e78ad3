#!/usr/bin/env bash
# Builds the Debian package from the build tree (what `make package` does) and checks it the
# way dpkg and apt will see it; `lintian` then reviews it as Debian's archive would.
# Usage: check-deb.sh build <cpack> <build dir> <work dir> <version>
#        check-deb.sh lintian <work dir> <version>
# Exit code 77 (skipped) when the Debian tools are not installed.
set -euo pipefail
step=$1
shift
status=0
. "$(dirname "${BASH_SOURCE[0]}")/check-lib.sh"
need dpkg-deb dpkg
package_file() { echo "$1/nelo-qcm_$2_$(dpkg --print-architecture).deb"; }

case $step in
build)
  cpack=$1 build=$2 work=$3 version=$4
  need dpkg-shlibdeps
  rm -rf "$work"
  mkdir -p "$work"
  "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; exit 1; }
  deb=$(package_file "$work" "$version")
  [[ -f "$deb" ]] || { ls "$work"; fail "no package named $(basename "$deb")"; exit 1; }

  field() { dpkg-deb -f "$deb" "$1"; }
  [[ "$(field Package)" == nelo-qcm ]] || fail "Package is '$(field Package)'"
  [[ "$(field Version)" == "$version" ]] || fail "Version is '$(field Version)'"
  # Dependencies computed from the libraries the program links, not written by hand.
  # libqt6charts6 comes from the statistics chart's module, which the program loads itself.
  for library in libqt6widgets6 libqt6svg6 libqt6charts6 libc6; do
    [[ "$(field Depends)" == *"$library"* ]] || fail "Depends lacks $library: $(field Depends)"
  done
  [[ "$(field Description)" == *"questionnaires à choix multiples"* ]] || fail "no French description"

  contents=$(dpkg-deb -c "$deb")
  for path in usr/bin/nelo-qcm usr/share/applications/nelo-qcm.desktop \
      usr/share/mime/packages/nelo-qcm.xml usr/share/man/man1/nelo-qcm.1.gz \
      usr/share/icons/hicolor/48x48/apps/nelo-qcm.png usr/share/nelo-qcm/examples/capitales.qcm \
      usr/share/doc/nelo-qcm/copyright usr/share/doc/nelo-qcm/changelog.gz; do
    grep -q " \./$path\$" <<<"$contents" || fail "$path is not in the package"
  done
  grep -q '/nelo-qcm/nelo-statistics-chart\.so$' <<<"$contents" || fail "the statistics chart's module is not in the package"
  grep -q '/nelo-qcm/nelo-scan-reading\.so$' <<<"$contents" || fail "the scan reader's module is not in the package"
  grep -q '/nelo-qcm/nelo-session-server\.so$' <<<"$contents" || fail "the session server's module is not in the package"
  grep -q '/nelo-qcm/nelo-system-printing\.so$' <<<"$contents" || fail "the printing module is not in the package"
  grep -v ' root/root ' <<<"$contents" | grep -q . && fail "files not owned by root"

  unpacked=$work/unpacked
  dpkg-deb -x "$deb" "$unpacked"
  gzip -dc "$unpacked/usr/share/man/man1/nelo-qcm.1.gz" | grep -q '^\.I /usr/share/nelo\\-qcm/examples/$' \
    || fail "the packaged manual page does not name /usr/share/nelo-qcm"
  ;;

lintian)
  work=$1 version=$2
  need lintian
  deb=$(package_file "$work" "$version")
  [[ -f "$deb" ]] || { fail "no package at $deb"; exit 1; }
  report=$(lintian --fail-on none --no-tag-display-limit "$deb" 2>&1 || true)
  [[ -n "$report" ]] && echo "$report"
  if grep -q '^E: ' <<<"$report"; then
    fail "lintian reports errors"
  fi
  ;;

*)
  echo "unknown step $step"
  exit 2
  ;;
esac

[[ $status -eq 0 ]] && echo "$step: passed"
exit $status
