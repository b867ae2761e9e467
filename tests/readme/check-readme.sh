#!/usr/bin/env bash
# Runs the command examples of README.md as written: every line of its ```sh blocks, in a
# scratch folder where build/release is this build, profiles/ and examples/ the source's, and
# `krellvane` on the PATH is this build's program. Not run: the lines that build, package or
# install (they start with sh, cd or sudo; the test suite does all of that itself).
# Commands on the emulated drives must succeed; on this machine's drives they may also find no
# drive (3) or no disc (4); commands that open the window must say there is no display (2).
#   check-readme.sh BUILD-DIR SOURCE-DIR
set -uo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/build" "$scratch/bin"
ln -s "$build" "$scratch/build/release"
ln -s "$src/profiles" "$scratch/profiles"
ln -s "$src/examples" "$scratch/examples"
ln -s "$build/krellvane" "$scratch/bin/krellvane"
ln -s "$build/krellvane-builder" "$scratch/bin/krellvane-builder"

commands=$(awk '/^```sh$/ {inside = 1; next} /^```/ {inside = 0} inside' "$src/README.md" |
  sed 's/[[:space:]]\{1,\}#.*$//' | grep -v '^[[:space:]]*$')
[[ -n $commands ]] || { echo "FAIL no command examples found in README.md"; exit 1; }

fail=0
ran=0
while IFS= read -r command; do
  case $command in
    "sh "* | "cd "* | "sudo "*) echo "skip $command"; continue ;;
  esac
  words=" $command "
  emulated=0
  [[ $words == *" --emulate"* || $words == *KRELLVANE_EMULATE=* ]] && emulated=1
  window=1
  for option in --list --check --build --version --help " -V" " -h"; do
    [[ $words == *"$option"* ]] && window=0
  done
  output=$(cd "$scratch" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u KRELLVANE_EMULATE \
    PATH="$scratch/bin:$PATH" KRELLVANE_SETTINGS="$scratch/settings.ini" bash -c "$command" 2>&1)
  rc=$?
  ran=$((ran + 1))
  if [[ $window == 1 ]]; then
    [[ $rc == 2 && $output == *"no display: use --list or --check, or set DISPLAY"* ]] && ok=1 || ok=0
  elif [[ $emulated == 1 || $command == ./* || $command == *--build* || $command == *--version* ]]; then
    [[ $rc == 0 ]] && ok=1 || ok=0
  else
    [[ $rc == 0 || $rc == 3 || $rc == 4 ]] && ok=1 || ok=0
  fi
  if [[ $ok == 1 ]]; then
    echo "ok   ($rc) $command"
  else
    echo "FAIL ($rc) $command"
    echo "$output" | sed 's/^/     /' | head -n 20
    fail=1
  fi
done <<<"$commands"
[[ $ran -gt 0 ]] || { echo "FAIL no README command was run"; fail=1; }
exit $fail
