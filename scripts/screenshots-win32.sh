#!/bin/sh
# Takes pictures of the Windows program's windows on the emulated sample drives under 64-bit Wine
# and a virtual X server: the main window before and after one media check ("?" pressed by F5),
# and the information box. The pictures are taken from the screen (ImageMagick's import).
#
#   scripts/screenshots-win32.sh [output-folder]      (default ./screenshots)
#
# writes main-window-win32.png, main-window-report-win32.png and information-box-win32.png. The
# program is $KRELLVANE_WIN_PROGRAM, else build/win64/krellvane.exe (its krellvane-gui.dll
# beside it); a fresh Wine prefix is made for the run and removed after it.
set -eu

out=${1:-./screenshots}
root=$(cd "$(dirname "$0")/.." && pwd)
program=${KRELLVANE_WIN_PROGRAM:-$root/build/win64/krellvane.exe}
if [ ! -f "$program" ] || [ ! -f "$(dirname "$program")/krellvane-gui.dll" ]; then
  echo "screenshots-win32.sh: no $program with krellvane-gui.dll beside it; build build/win64" >&2
  exit 1
fi
for tool in xvfb-run xdotool import /usr/lib/wine/wine64; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "screenshots-win32.sh: $tool is missing (Debian packages xvfb, xdotool, imagemagick, wine64)" >&2
    exit 1
  fi
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/krellvane-shots.XXXXXX")
export WINEPREFIX
export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  WINELOADER=/usr/lib/wine/wine64 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT INT TERM

OUT="$out" PROGRAM="$program" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  set -eu
  # Waits up to 30 s for a window of that exact name; prints its id.
  window_named() {
    tries=0
    while [ $tries -lt 60 ]; do
      id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
      if [ -n "$id" ]; then
        echo "$id"
        return 0
      fi
      tries=$((tries + 1))
      sleep 0.5
    done
    echo "screenshots-win32.sh: no window \"$1\" appeared" >&2
    return 1
  }
  /usr/lib/wine/wine64 wineboot >/dev/null 2>&1
  KRELLVANE_EMULATE=1 /usr/lib/wine/wine64 "$PROGRAM" >/dev/null 2>&1 &
  program_pid=$!
  status=0
  {
    main=$(window_named "KRELL-VANE v3.0.0") &&
    sleep 1 &&
    import -window "$main" "$OUT/main-window-win32.png" &&
    xdotool key --window "$main" F5 &&
    sleep 2 &&
    import -window "$main" "$OUT/main-window-report-win32.png" &&
    eval "$(xdotool getwindowgeometry --shell "$main")" &&
    xdotool mousemove $((X + 362 + 50)) $((Y + 41 + 12)) click 1 &&
    box=$(window_named "Krell-Vane") &&
    sleep 1 &&
    import -window "$box" "$OUT/information-box-win32.png"
  } || status=1
  kill "$program_pid" 2>/dev/null || true
  exit $status'
for picture in main-window-win32.png main-window-report-win32.png information-box-win32.png; do
  if [ ! -s "$out/$picture" ]; then
    echo "screenshots-win32.sh: $out/$picture was not written" >&2
    exit 1
  fi
done
echo "screenshots written to $out"
