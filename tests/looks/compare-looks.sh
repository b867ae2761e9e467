#!/bin/sh
# The Windows windows must look like the Linux ones. For each window, the two pictures are brought
# to one size and blurred, so that what differs by nature (the systems' fonts and their smoothing)
# washes out and what does not (frame, title bar, colours, the places of controls and pictures)
# stays; their root-mean-square difference must stay under a bound. So that the bound means
# something, two different windows must differ by more than it.
#
#   compare-looks.sh LINUX-FOLDER WINDOWS-FOLDER      (pictures of scripts/screenshots.sh and
#                                                       scripts/screenshots-win32.sh; ImageMagick)
set -eu
linux="$1"
windows="$2"
bound="${KV_LOOKS_BOUND:-0.10}"
work="$(mktemp -d "${TMPDIR:-/tmp}/kv-looks.XXXXXX")"
trap 'rm -rf "$work"' EXIT INT TERM

# distance A B: the normalised RMSE of the two pictures, scaled to A's size and blurred.
distance() {
  size="$(identify -format '%wx%h' "$1")"
  convert "$1" -resize "$size!" -blur 0x4 "$work/a.png"
  convert "$2" -resize "$size!" -blur 0x4 "$work/b.png"
  # compare prints "absolute (normalised)" on standard error and exits 1 when the pictures differ.
  compare -metric RMSE "$work/a.png" "$work/b.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p' || true
}
below() {
  awk -v d="$1" -v b="$bound" 'BEGIN { exit !(d + 0 < b + 0) }'
}

failures=0
for window in main-window main-window-report information-box; do
  d="$(distance "$linux/$window.png" "$windows/$window-win32.png")"
  if [ -n "$d" ] && below "$d"; then
    echo "compare-looks: $window: $d (bound $bound)"
  else
    echo "DIFFERENT LOOK: $window: ${d:-no measure} (bound $bound)"
    failures=$((failures + 1))
  fi
done
# The control: the main window against the Windows information box.
d="$(distance "$linux/main-window.png" "$windows/information-box-win32.png")"
if [ -n "$d" ] && ! below "$d"; then
  echo "compare-looks: two different windows: $d, above the bound"
else
  echo "compare-looks: the bound $bound does not tell two different windows apart (${d:-no measure})"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
