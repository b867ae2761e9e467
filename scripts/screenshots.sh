#!/bin/sh
# Takes pictures of the program's windows on the emulated sample drives under a virtual X
# server: the splash, the main window before and after one media check, the information box and
# the main window maximised. The pictures are taken from the screen, so they show what a user
# sees. Four runs: without and with a window manager (openbox), each at the design size and at
# a stored size of 800 x 600. Every run also checks that each window's drawn frame covers the
# whole window (no band of the window's own colour around it).
#
#   scripts/screenshots.sh [output-folder]      (default ./screenshots)
#
#   output-folder/                  no window manager, design size (the README's pictures)
#   output-folder/stored-800x600/   no window manager, stored size 800 x 600
#   output-folder/openbox/          openbox, design size
#   output-folder/openbox/stored-800x600/
#
# KV_SHOTS_DESIGN_ONLY=1 takes only the first set.
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
for tool in xvfb-run openbox; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "screenshots.sh: $tool is missing (Debian packages xvfb and openbox; scripts/install-deps.sh)" >&2
    exit 1
  fi
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
# Settings files of their own, so that the pictures show the sizes asked for and nothing of the
# user's settings is touched.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

# One run of the program under its own virtual X server.
#   shoot FOLDER WINDOW-MANAGER(none|openbox) STORED-SIZE(design|WIDTHxHEIGHT)
shoot() {
  folder=$1
  manager=$2
  size=$3
  mkdir -p "$folder"
  settings="$scratch/settings-$manager-$size.ini"
  rm -f "$settings"
  if [ "$size" != design ]; then
    printf '[Krellvane]\nWidth=%s\nHeight=%s\n' "${size%x*}" "${size#*x}" >"$settings"
  fi
  KRELLVANE_EMULATE=1 \
  KRELLVANE_SETTINGS="$settings" \
  KRELLVANE_SCREENSHOT_DIR="$folder" \
  QT_QPA_PLATFORM=xcb \
  MANAGER="$manager" PROGRAM="$program" \
    xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
      if [ "$MANAGER" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        manager_pid=$!
        sleep 1
      fi
      timeout 120 "$PROGRAM"
      status=$?
      if [ -n "${manager_pid:-}" ]; then
        kill "$manager_pid" 2>/dev/null || true
      fi
      exit $status'

  for picture in splash.png main-window.png main-window-report.png information-box.png \
      main-window-maximised.png frames.txt; do
    if [ ! -s "$folder/$picture" ]; then
      echo "screenshots.sh: $folder/$picture was not written" >&2
      return 1
    fi
  done
  # Each line: "picture: window X,Y WxH frame X,Y WxH [maximised]"; the frame must equal the
  # window's rectangle.
  if ! awk '$3 != $6 || $4 != $7 { print "screenshots.sh: band around the frame in " FILENAME ": " $0; bad = 1 }
            END { exit bad }' "$folder/frames.txt" >&2; then
    return 1
  fi
  if ! grep -q '^main-window-maximised.png: .* maximised$' "$folder/frames.txt"; then
    echo "screenshots.sh: the window did not stay maximised in $folder" >&2
    return 1
  fi
}

shoot "$out" none design
# KV_SHOTS_DESIGN_ONLY=1: only the design-size pictures without a window manager.
if [ -n "${KV_SHOTS_DESIGN_ONLY:-}" ]; then
  echo "screenshots written to $out"
  exit 0
fi
shoot "$out/stored-800x600" none 800x600
shoot "$out/openbox" openbox design
shoot "$out/openbox/stored-800x600" openbox 800x600
echo "screenshots written to $out"
