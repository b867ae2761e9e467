#!/bin/sh
# Takes pictures of the program's windows on the emulated sample drives under a virtual X
# server: the splash, the main window before and after one media check, and the information box.
#
#   scripts/screenshots.sh [output-folder]      (default ./screenshots)
#
# The program is $KRELLVANE_PROGRAM, or the first krellvane found under build/.
set -eu

out=${1:-./screenshots}
root=$(cd "$(dirname "$0")/.." && pwd)

program=${KRELLVANE_PROGRAM:-}
if [ -z "$program" ]; then
  for candidate in "$root"/build/krellvane "$root"/build/*/krellvane; do
    if [ -x "$candidate" ]; then
      program=$candidate
      break
    fi
  done
fi
if [ -z "$program" ] || [ ! -x "$program" ]; then
  echo "screenshots.sh: no krellvane program found; build it or set KRELLVANE_PROGRAM" >&2
  exit 1
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "screenshots.sh: xvfb-run is missing (Debian package xvfb)" >&2
  exit 1
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
# A settings file of its own, so that the pictures show the design size and nothing of the
# user's settings is touched.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

KRELLVANE_EMULATE=1 \
KRELLVANE_SETTINGS="$scratch/settings.ini" \
KRELLVANE_SCREENSHOT_DIR="$out" \
QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24" timeout 120 "$program"

missing=0
for picture in splash.png main-window.png main-window-report.png information-box.png; do
  if [ ! -s "$out/$picture" ]; then
    echo "screenshots.sh: $picture was not written" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ] && echo "screenshots written to $out"
exit "$missing"
