#!/bin/sh
# File names beyond ASCII on Windows: from a folder whose name has letters of code page 1252 beyond
# ASCII and the euro sign (80h there), the builder edition reads a drive profile and a parameter
# file so named and writes its edition beside itself; the program's own folder name must not stop
# it from reading itself.
#   names-beyond-ascii.sh BUILDER-PROGRAM PROFILE WINE-RUN
set -u
builder="$1"
profile="$2"
run="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/kv-names.XXXXXX")"
trap 'rm -rf "$work"' EXIT INT TERM
folder="$work/Prüfung € Ordner"
mkdir -p "$folder" || exit 1
cp "$builder" "$folder/krellvane-builder.exe" || exit 1
cp "$profile" "$folder/Laufwerk-€é.json" || exit 1
printf '[PROPERTY]\r\nNAME=Caf\351 \200\r\n' >"$folder/Parameter-€é.txt"
cd "$folder" || exit 1
failures=0

fail() {
  failures=$((failures + 1))
  echo "FAILED: $*"
}

listed="$(env -u KRELLVANE_EMULATE "$run" ./krellvane-builder.exe --emulate "Laufwerk-€é.json" --list 2>&1)"
status=$?
echo "$listed"
[ "$status" -eq 0 ] || fail "--list on the profile exited $status"
case "$listed" in
  *ORVELIX*) ;;
  *) fail "--list did not read the profile" ;;
esac

built="$("$run" ./krellvane-builder.exe --build "Parameter-€é.txt" 2>&1)"
status=$?
echo "$built"
[ "$status" -eq 0 ] || fail "--build exited $status"
[ "$built" = "File created successfully !" ] || fail "--build said something else"
if [ -f Krellvane.Exe ]; then
  # The edition carries the name as the parameter file's bytes (code page 1252).
  LC_ALL=C grep -q "$(printf 'Caf\351 \200')" Krellvane.Exe || fail "the edition lacks the name"
else
  fail "no Krellvane.Exe was written"
fi
echo "names-beyond-ascii: $failures failed"
[ "$failures" -eq 0 ]
