#!/usr/bin/env bash
# Checks the staged desktop files with the tools desktops use to read them.
# Usage: freedesktop-checks.sh <check> <stage dir> [arguments]
#   desktop-entry                    desktop-file-validate, and the program, icon and type it names
#   mime-type <sample.qcm>           xmllint against the system's MIME DTD, then the type the
#                                    desktop gives to questionnaires and the default application
#   metainfo <version> <screenshots> appstreamcli validate --no-net, release, screenshots
#   manual-page                      man's own warnings, as lintian runs it
# Exit code 77 (skipped) when a tool a check needs is not installed.
set -euo pipefail
check=$1 stage=$2
shift 2
share=$stage/usr/share
status=0

. "$(dirname "${BASH_SOURCE[0]}")/check-lib.sh"
desktop_key() { sed -n "s/^$1=//p" "$share/applications/nelo-qcm.desktop"; }

case $check in
desktop-entry)
  need desktop-file-validate
  desktop-file-validate "$share/applications/nelo-qcm.desktop" || fail "desktop-file-validate"
  program=$(desktop_key Exec | cut -d' ' -f1)
  [[ -x "$stage/usr/bin/$program" ]] || fail "Exec names '$program', which is not installed"
  icon=$(desktop_key Icon)
  [[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ]] || fail "Icon '$icon' is not in hicolor"
  [[ "$(desktop_key MimeType)" == "application/x-nelo-qcm;" ]] || fail "MimeType is '$(desktop_key MimeType)'"
  for size in 48 256; do
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG file.
    read -r -a header < <(od -An -tu1 -j16 -N8 "$share/icons/hicolor/${size}x$size/apps/$icon.png")
    width=$(( (header[2] << 8) | header[3] )) height=$(( (header[6] << 8) | header[7] ))
    [[ $width == "$size" && $height == "$size" ]] || fail "the ${size}x$size icon is ${width}x$height"
  done
  ;;

mime-type)
  sample=$1
  need xmllint update-mime-database update-desktop-database xdg-mime mimetype
  system_types=/usr/share/mime/packages/freedesktop.org.xml
  [[ -f $system_types ]] || { echo "skipped: no $system_types"; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT

  # The system's own database carries the format's DTD as its internal subset.
  sed -n '/^<!DOCTYPE mime-info \[/,/^\]>/p' "$system_types" | sed '1d;$d' >"$work/mime-info.dtd"
  xmllint --noout --dtdvalid "$work/mime-info.dtd" "$share/mime/packages/nelo-qcm.xml" \
    || fail "nelo-qcm.xml does not follow the shared-mime-info DTD"

  mkdir -p "$work/share" "$work/files" "$work/home"
  cp -r "$share/mime" "$share/applications" "$work/share/"
  # The generic desktop of xdg-utils, with our share folder first and no user settings.
  export XDG_DATA_DIRS=$work/share:/usr/share XDG_DATA_HOME=$work/home XDG_CONFIG_HOME=$work/home
  unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
  update-mime-database "$work/share/mime" >/dev/null
  update-desktop-database "$work/share/applications"

  cp "$sample" "$work/files/quiz.qcm"
  cp "$sample" "$work/files/QUIZ.QCM"
  cp "$sample" "$work/files/Quiz.Qcm"
  cp "$sample" "$work/files/sans-extension"
  printf '\r\n<bloc0000>\r\nTITLE Essai\r\n</bloc0000>\r\n' >"$work/files/minuscules"
  printf 'Liste de courses\n' >"$work/files/notes.txt"
  expect_type() { # <file> <type>
    local answer
    answer=$(xdg-mime query filetype "$work/files/$1" 2>/dev/null || true)
    [[ "$answer" == "$2" ]] || fail "$1 is '$answer', expected '$2'"
  }
  expect_type quiz.qcm application/x-nelo-qcm
  expect_type QUIZ.QCM application/x-nelo-qcm
  expect_type Quiz.Qcm application/x-nelo-qcm
  expect_type sans-extension application/x-nelo-qcm
  expect_type minuscules application/x-nelo-qcm
  expect_type notes.txt text/plain

  default=$(xdg-mime query default application/x-nelo-qcm || true)
  [[ "$default" == "nelo-qcm.desktop" ]] || fail "questionnaires open with '$default', not nelo-qcm.desktop"
  icon=$(sed -n 's/.*<icon name="\([^"]*\)".*/\1/p' "$share/mime/packages/nelo-qcm.xml")
  for size in scalable/mimetypes/$icon.svg 48x48/mimetypes/$icon.png 256x256/mimetypes/$icon.png; do
    [[ -f "$share/icons/hicolor/$size" ]] || fail "the type's icon $size is not installed"
  done
  ;;

metainfo)
  version=$1 screenshots=$2
  need appstreamcli
  metainfo=$(ls "$share"/metainfo/*.metainfo.xml)
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
  grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" \
    || fail "no release $version with its date"
  for shot in $(sed -n 's|.*<image>.*/screenshots/\([^<]*\)</image>.*|\1|p' "$metainfo"); do
    [[ -f "$screenshots/$shot" ]] || fail "screenshot $shot is not in $screenshots"
  done
  grep -q '<launchable type="desktop-id">nelo-qcm.desktop</launchable>' "$metainfo" \
    || fail "the metainfo does not launch nelo-qcm.desktop"
  ;;

manual-page)
  need man
  page=$share/man/man1/nelo-qcm.1.gz
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "man reports: $warnings"
  for section in NOM SYNOPSIS OPTIONS FICHIERS "CODE DE RETOUR"; do
    gzip -dc "$page" | grep -q "^\.SH \"\?$section\"\?\$" || fail "no section $section"
  done
  ;;

*)
  echo "unknown check $check"
  exit 2
  ;;
esac

[[ $status -eq 0 ]] && echo "$check: passed"
exit $status
