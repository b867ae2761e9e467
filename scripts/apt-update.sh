#!/bin/sh
# Refreshes the package index a few times, for the install scripts. A mirror in mid-sync can serve an
# index that fails its hash check (seen for days on the i386 security index); apt then exits 100
# although every other index is fresh. That must not stop an install whose packages are all still
# to be had, so the last failure is reported and this returns 1 for the caller to decide.
#   scripts/apt-update.sh            (KV_APT_UPDATE_TRIES, KV_APT_UPDATE_PAUSE tune the retries)
set -u
tries="${KV_APT_UPDATE_TRIES:-3}"
pause="${KV_APT_UPDATE_PAUSE:-10}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
try=1
while :; do
  log="$(mktemp)"
  # A good refresh: apt's status is 0 and it names no failed index ("E:"/"W:" lines do).
  if $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq \
       >"$log" 2>&1 && ! grep -qE '^(E|W): (Failed|Some index)' "$log"; then
    rm -f "$log"
    exit 0
  fi
  echo "apt-update: attempt $try/$tries left an index out of date:" >&2
  sed 's/^/  /' "$log" >&2
  rm -f "$log"
  [ "$try" -ge "$tries" ] && exit 1
  try=$((try + 1))
  sleep "$pause"
done
