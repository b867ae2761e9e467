#!/bin/sh
# The Windows program under Wine must print, byte for byte, what the Linux program prints for the
# emulated sample drives: --list, and --check (text and --json) on every drive and writer line.
#   compare-cli.sh LINUX-PROGRAM WINDOWS-PROGRAM WINE-RUN
set -u
linux="$1"
windows="$2"
run="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/kv-compare.XXXXXX")"
trap 'rm -rf "$work"' EXIT INT TERM
drives=7
failures=0
compared=0

compare() {
  env -u KRELLVANE_EMULATE KRELLVANE_SETTINGS="$work/settings.ini" "$linux" "$@" >"$work/linux.out" 2>"$work/linux.err"
  linux_status=$?
  env -u KRELLVANE_EMULATE "$run" "$windows" "$@" >"$work/windows.out" 2>"$work/windows.err"
  windows_status=$?
  compared=$((compared + 1))
  if [ "$linux_status" -ne "$windows_status" ] || ! cmp -s "$work/linux.out" "$work/windows.out"; then
    failures=$((failures + 1))
    echo "DIFFERENT: $* (exit $linux_status on Linux, $windows_status on Windows)"
    diff "$work/linux.out" "$work/windows.out" | head -20
    sed 's/^/  windows stderr: /' "$work/windows.err" | head -5
  fi
}

compare --list --emulate
line=1
while [ "$line" -le "$drives" ]; do
  compare --check "$line" --any-drive --emulate
  compare --check "$line" --any-drive --emulate --json
  compare --check "$line" --emulate
  compare --check "$line" --emulate --json
  line=$((line + 1))
done
echo "compare-cli: $compared runs compared, $failures different"
[ "$failures" -eq 0 ]
