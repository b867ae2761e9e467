#!/usr/bin/env bash
# guest-tests.sh - runs krellvane's command line inside small Linux guests against the kernel's
# own drivers and two MMC implementations that are not ours:
#   boot 1: QEMU's IDE/ATAPI drive with a CD-sized image, an empty IDE drive, QEMU's SCSI drive
#           with a DVD-sized image, an empty SCSI drive, an empty SCSI drive on SCSI host 16 (behind
#           fourteen more controllers), and at the end scsi_debug as a drive that never answers;
#   boot 2: tgt's emulated drives (DVD image, blank DVD+R writer, CD-sized image) reached through
#           QEMU's iSCSI driver from a tgtd listening on 127.0.0.1 only.
# In each guest: --list against /sys and sg_inq (with and without the sg driver), --check and
# --check --json on every drive against tests/guest/expected/, and the same as an ordinary user.
#
# Usage: scripts/guest-tests.sh [--build-dir DIR] [--shared DIR] [--first-line N]
#                               [--any-first-line N] [--no-tgt]
#   --build-dir DIR  the build holding krellvane (default: build/guest, else build)
#   --shared DIR     the shared tools folder (default: $KV_SHARED_DIR, else ../shared beside
#                    the repository)
#   --first-line N   number of the first writer line as --check counts (default 1)
#   --any-first-line N  number of the first --list line as --check --any-drive counts (default 1)
#   --no-tgt         only the first boot
# Root installs missing Debian packages (apt-get, non-interactive). Everything it starts is
# stopped on every exit path. Exit code 0 when every check passed.
set -uo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=""
SHARED=${KV_SHARED_DIR:-$REPO/../shared}
FIRST=${KV_FIRST_LINE:-1}
ANY_FIRST=${KV_ANY_FIRST_LINE:-1}
TGT=1
BOOT_TIMEOUT=${KV_GUEST_BOOT_TIMEOUT:-300}
PROG=guest-tests

die() { echo "$PROG: $*" >&2; exit 2; }
while [[ $# -gt 0 ]]; do
  case $1 in
    --build-dir) [[ $# -ge 2 ]] || die "--build-dir needs a folder"; BUILD=$2; shift 2 ;;
    --shared) [[ $# -ge 2 ]] || die "--shared needs a folder"; SHARED=$2; shift 2 ;;
    --first-line) [[ ${2:-} =~ ^[0-9]+$ ]] || die "--first-line needs a number"; FIRST=$2; shift 2 ;;
    --any-first-line) [[ ${2:-} =~ ^[0-9]+$ ]] || die "--any-first-line needs a number"; ANY_FIRST=$2; shift 2 ;;
    --no-tgt) TGT=0; shift ;;
    -h | --help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) die "unknown option '$1' (see --help)" ;;
  esac
done
if [[ -z $BUILD ]]; then
  BUILD=$REPO/build/guest
  [[ -x $BUILD/krellvane ]] || BUILD=$REPO/build
fi
KV=$BUILD/krellvane
export KV_HOST_PROGRAM=$KV  # replays the guests' captures on the host
TOOLS=$SHARED/tools/qemu-guest
HERE=$REPO/tests/guest
[[ -x $KV ]] || die "no krellvane in $BUILD (build it first: ninja -C $BUILD krellvane)"
[[ -x $TOOLS/run-in-guest.sh ]] || die "no run-in-guest.sh in $TOOLS (set --shared or KV_SHARED_DIR)"

start=$(date +%s)
OUT=$BUILD/guest-tests
mkdir -p "$OUT"
rm -f "$OUT"/*.raw "$OUT"/*.log "$OUT"/*.coverage

# Every process this run starts inherits this mark; cleanup finds them by it and by nothing else.
export KV_GUEST_RUN="$$-$start"
own_pids() {
  local p pid
  for p in /proc/[0-9]*; do
    pid=${p#/proc/}
    [[ $pid == "$$" || $pid == "$BASHPID" ]] && continue
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "KV_GUEST_RUN=$KV_GUEST_RUN" && echo "$pid"
  done
}
CHILD=""
cleanup() {
  trap - EXIT INT TERM
  [[ -n $CHILD ]] && kill -TERM "$CHILD" 2>/dev/null
  local left
  for _ in $(seq 30); do
    left=$(own_pids)
    [[ -z $left ]] && break
    sleep 0.2
  done
  left=$(own_pids)
  # tgtd ignores SIGTERM while it has targets, and qemu may sit inside timeout: KILL what is left
  [[ -n $left ]] && kill -KILL $left 2>/dev/null
  [[ -n ${WORK:-} ]] && rm -rf "$WORK"
}
trap cleanup EXIT
trap 'echo "$PROG: interrupted" >&2; exit 130' INT TERM

# runs a command in the background so a signal reaches cleanup at once
bg_run() {
  "$@" &
  CHILD=$!
  wait "$CHILD"
  local rc=$?
  CHILD=""
  return $rc
}

# Debian packages the guests need.
need=()
command -v qemu-system-x86_64 >/dev/null || need+=(qemu-system-x86)
# A static one: the guest has no libraries for it.
{ [[ -x /bin/busybox ]] && ! ldd /bin/busybox >/dev/null 2>&1; } || need+=(busybox-static)
command -v cpio >/dev/null || need+=(cpio)
command -v sg_raw >/dev/null || need+=(sg3-utils)
command -v xorriso >/dev/null || need+=(xorriso)
command -v jq >/dev/null || need+=(jq)
command -v cc >/dev/null || need+=(gcc)
if [[ $TGT == 1 ]]; then
  command -v tgtd >/dev/null || need+=(tgt)
  dpkg-query -W -f='${Status}' qemu-block-extra 2>/dev/null | grep -q 'ok installed' || need+=(qemu-block-extra)
fi
if [[ ${#need[@]} -gt 0 ]]; then
  [[ $(id -u) == 0 ]] || die "missing packages ${need[*]}: install them as root"
  echo "$PROG: installing ${need[*]}" >&2
  sh "$REPO/scripts/apt-update.sh" || echo "$PROG: going on with the package index as it is" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    --no-install-recommends "${need[@]}" >/dev/null || die "apt-get install ${need[*]} failed"
fi

# The disc images: the harness's own recipe (fixed dates and content), so the drives give the
# answers that its answer tables record. tgt-cd.sh reads them from the cache folder.
IMG=${QEMU_MMC_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qemu-mmc}/images
mkdir -p "$IMG"
WORK=$(mktemp -d)
if [[ ! -s $IMG/cd.iso ]]; then
  src=$WORK/src
  mkdir -p "$src"
  echo "hello from the test CD" >"$src/hello.txt"
  { yes 0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde || :; } | head -c 3145728 >"$src/pattern.bin"
  touch -d @1577836800 "$src"/* "$src"
  SOURCE_DATE_EPOCH=1577836800 xorriso -as mkisofs -quiet -r -J -V TESTCD -o "$IMG/cd.iso.tmp" "$src" 2>/dev/null &&
    mv "$IMG/cd.iso.tmp" "$IMG/cd.iso" || die "cannot make the CD image"
fi
if [[ ! -s $IMG/dvd.iso ]]; then
  cp --sparse=always "$IMG/cd.iso" "$IMG/dvd.iso.tmp" && truncate -s $((2298496 * 2048)) "$IMG/dvd.iso.tmp" &&
    mv "$IMG/dvd.iso.tmp" "$IMG/dvd.iso" || die "cannot make the DVD image"
fi
[[ -x $IMG/scsi-ids ]] || cc -O2 -Wall -o "$IMG/scsi-ids" "$TOOLS/scsi-ids.c" || die "cannot build scsi-ids"

total_fail=0
judge() {  # raw roles label
  "$HERE/check-guest-output.sh" "$1" "$2" "$HERE/expected" "$FIRST" "$3" "$ANY_FIRST" | tee "$OUT/$3.log"
  [[ ${PIPESTATUS[0]} == 0 ]] || total_fail=$((total_fail + 1))
}

GUEST_FILES=(--sg3-utils --bin "$KV" --file "$HERE/in-guest.sh:/in-guest.sh")

# Fourteen more SCSI controllers after the harness's own (host 2) put a drive on host 16, as on a
# machine whose USB writer has been plugged in again and again.
EXTRA_HBAS=14
HOST16=()
for i in $(seq 1 "$EXTRA_HBAS"); do HOST16+=(-device "virtio-scsi-pci,id=kvx$i"); done
HOST16+=(-drive "if=none,id=kvh16,media=cdrom,readonly=on"
  -device "scsi-cd,bus=kvx$EXTRA_HBAS.0,scsi-id=0,lun=0,drive=kvh16")

# scsi_debug (and the checksum modules it needs) from the guest kernel's package, for a drive
# that never answers; without them that part of the run is left out.
HANG_FILES=()
CACHE=${QEMU_MMC_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qemu-mmc}
deb=$(ls "$CACHE"/linux-image-*.deb 2>/dev/null | head -n1)
if [[ -n $deb ]]; then
  mkdir -p "$WORK/kmod" "$WORK/hang"
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$WORK/kmod" --wildcards '*/scsi_debug.ko' \
    '*/crct10dif_common.ko' '*/crct10dif_generic.ko' '*/crc-t10dif.ko' 2>/dev/null
  order=(crct10dif_common crct10dif_generic crc-t10dif)
  for m in "${order[@]}" scsi_debug; do
    f=$(find "$WORK/kmod" -name "$m.ko" | head -n1)
    [[ -n $f ]] && cp "$f" "$WORK/hang/" && HANG_FILES+=(--file "$WORK/hang/$m.ko:/files/hang/$m.ko")
  done
  echo "${order[*]}" >"$WORK/hang/order"
  HANG_FILES+=(--file "$WORK/hang/order:/files/hang/order")
fi

echo "$PROG: boot 1: QEMU's IDE and SCSI drives" >&2
bg_run "$TOOLS/run-in-guest.sh" --quiet --timeout "$BOOT_TIMEOUT" "${GUEST_FILES[@]}" \
  "${HANG_FILES[@]}" --cd "$IMG/cd.iso" --empty-cd --scsi-cd "$IMG/dvd.iso" --scsi-empty-cd \
  --qemu-arg "${HOST16[*]}" \
  --log "$OUT/qemu-console.log" -- sh /in-guest.sh "$FIRST" /dev/sr1 "$ANY_FIRST" 5 >"$OUT/qemu.raw"
rc=$?
echo "$PROG: boot 1 ended with $rc after $(($(date +%s) - start)) s" >&2
judge "$OUT/qemu.raw" "$HERE/roles-qemu.txt" qemu

if [[ $TGT == 1 ]]; then
  echo "$PROG: boot 2: tgt's drives over iSCSI on 127.0.0.1" >&2
  b2=$(date +%s)
  TGT_PORT=${TGT_PORT:-3270} bg_run "$TOOLS/tgt-cd.sh" "$WORK/tgt" --quiet --timeout "$BOOT_TIMEOUT" \
    "${GUEST_FILES[@]}" -- sh /in-guest.sh "$FIRST" /dev/sr2 "$ANY_FIRST" >"$OUT/tgt-run.log" 2>&1
  rc=$?
  cp "$WORK/tgt/raw.txt" "$OUT/tgt.raw" 2>/dev/null || : >"$OUT/tgt.raw"
  cp "$WORK/tgt/console.log" "$OUT/tgt-console.log" 2>/dev/null
  echo "$PROG: boot 2 ended with $rc after $(($(date +%s) - b2)) s" >&2
  judge "$OUT/tgt.raw" "$HERE/roles-tgt.txt" tgt
fi

# Which command reached which drive, and how it ended (from the guests' kernel logs).
echo "--- commands the drives received during the root checks (H:C:T:L opcode result):"
for c in "$OUT"/*.raw.coverage; do
  [[ -s $c ]] && sed "s|^|$(basename "$c" .raw.coverage) |" "$c"
done | awk '{k = $1 " " $2; a[k] = a[k] " " $3 ":" $4} END {for (k in a) print k a[k]}' | sort
missing=()
for op in 00 12 23 43 46 51 5a ac ad b6 bb df; do
  cat "$OUT"/*.raw.coverage 2>/dev/null | awk -v o="$op" '$2 == o {f = 1} END {exit !f}' || missing+=("$op")
done
if [[ ${#missing[@]} -eq 0 ]]; then
  echo "ok   every command of the set reached a drive"
else
  echo "FAIL commands that reached no drive: ${missing[*]}"
  total_fail=$((total_fail + 1))
fi
echo "$PROG: finished in $(($(date +%s) - start)) s; logs in $OUT"
[[ $total_fail == 0 ]]
