#!/bin/sh
# Installs what is needed, builds the program and starts it: on the real drives when this machine
# has one, on the built-in emulated drives when it has none.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release"
if ls /dev/sr[0-9]* >/dev/null 2>&1; then
  exec "$root/build/release/krellvane" "$@"
fi
echo "No optical drive found: starting on the emulated sample drives." >&2
exec "$root/build/release/krellvane" --emulate "$@"
