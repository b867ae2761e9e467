#!/bin/sh
# Runs inside the guest (busybox sh). Prints everything the host-side checker needs between
# "@@@" markers: the kernel's and sg3-utils' view of each drive, then the program's --list and
# --check answers as root (sg driver loaded and unloaded) and as an ordinary user.
# Usage: in-guest.sh FIRST_LINE DENIED_NODE ANY_FIRST_LINE [DRIVES]
#   FIRST_LINE      number of the first writer line (what --check takes)
#   DENIED_NODE     the /dev/srN that the ordinary user may not open at all
#   ANY_FIRST_LINE  number of the first --list line for --check --any-drive (readers included)
#   DRIVES          how many CD/DVD drives to wait for (drives on extra controllers come late)
# With /files/hang/*.ko (scsi_debug and what it needs) it ends with a drive that never answers.
FIRST=${1:-1}
DENIED=${2:-/dev/sr1}
ANY=${3:-1}
WANT=${4:-0}
KV=/usr/local/bin/krellvane

i=0
while [ "$(ls -d /sys/class/block/sr* 2>/dev/null | wc -l)" -lt "$WANT" ] && [ $i -lt 100 ]; do
  sleep 0.1
  i=$((i + 1))
done

run() {  # name, command...: the output with its exit code
  name=$1
  shift
  echo "@@@ BEGIN $name"
  "$@" 2>&1
  echo "@@@ END $name rc=$?"
}

# The same with standard error in a section of its own, NAME.err.
run_split() {
  name=$1
  shift
  echo "@@@ BEGIN $name"
  "$@" 2>/tmp/stderr.txt
  rc=$?
  echo "@@@ END $name rc=$rc"
  echo "@@@ BEGIN $name.err"
  cat /tmp/stderr.txt
  echo "@@@ END $name.err rc=0"
}

# Kernel log of every command sent and completed (SCSI_LOG_MLQUEUE and SCSI_LOG_MLCOMPLETE 2).
trace_on() { dmesg -c >/dev/null; echo $((2 << 9 | 2 << 12)) >/proc/sys/dev/scsi/logging_level; }
trace_off() {
  echo 0 >/proc/sys/dev/scsi/logging_level
  echo "@@@ BEGIN trace-$1"
  dmesg -c | grep -E 'CDB:|Done:|Sense Key|Add. Sense'
  echo "@@@ END trace-$1 rc=0"
}

count=0
for d in /sys/class/scsi_device/*; do
  [ "$(cat "$d/device/type")" = 5 ] || continue
  hctl=$(basename "$d")
  blk=$(ls "$d/device/block")
  printf '@@@ SYSFS %s|/dev/%s|%s|%s|%s\n' "$hctl" "$blk" "$(cat "$d/device/vendor")" \
    "$(cat "$d/device/model")" "$(cat "$d/device/rev")"
  inq=$(sg_inq "/dev/$blk")
  printf '@@@ SGINQ %s|/dev/%s|%s|%s|%s\n' "$hctl" "$blk" \
    "$(echo "$inq" | sed -n 's/^ Vendor identification: //p')" \
    "$(echo "$inq" | sed -n 's/^ Product identification: //p')" \
    "$(echo "$inq" | sed -n 's/^ Product revision level: //p')"
  count=$((count + 1))
done
last=$((FIRST + count - 1))
anylast=$((ANY + count - 1))

# Root, sg driver loaded.
trace_on
run list-root "$KV" --list
trace_off list
# Each run of the program costs a second or more under software emulation: the JSON form is
# asked for once per numbering, the text form for every line.
for n in $(seq "$FIRST" "$last"); do
  trace_on
  run "check-root-$n" "$KV" --check "$n"
  trace_off "root-$n"
done
run "json-check-root-$FIRST" "$KV" --check "$FIRST" --json
for n in $(seq "$ANY" "$anylast"); do
  trace_on
  run "any-root-$n" "$KV" --check "$n" --any-drive
  trace_off "any-root-$n"
  run "json-any-root-$n" "$KV" --check "$n" --any-drive --json
done
run bad-line-past-end "$KV" --check $((last + 1))
run bad-line-text "$KV" --check two
# A drive named by its node, as scripts do when the line numbers may shift.
for n in /dev/sr*; do
  run "node-root-$(basename "$n")" "$KV" --check "$n" --json
done
run bad-node "$KV" --check /dev/null

# Root, sg driver unloaded: drives found through their block nodes.
if rmmod sg 2>/dev/null; then
  echo "@@@ SG unloaded"
  run list-nosg "$KV" --list
  run "check-nosg-$FIRST" "$KV" --check "$FIRST"
  run "any-nosg-$ANY" "$KV" --check "$ANY" --any-drive
  modprobe sg
  i=0
  while [ ! -e /dev/sg0 ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
else
  echo "@@@ SG builtin"
fi

# Ordinary user in group cdrom: the drive nodes are theirs to open, except DENIED; the sg nodes
# stay root's, so the sg driver reaches fewer drives than there are nodes.
echo 'cdrom:x:24:kvuser' >>/etc/group
echo 'kvuser:x:1000:1000::/tmp:/bin/sh' >>/etc/passwd
echo 'kvuser:x:1000:' >>/etc/group
chmod 755 /usr/local/bin/* 2>/dev/null
for n in /dev/sr*; do
  chgrp 24 "$n"
  chmod 660 "$n"
done
chmod 600 "$DENIED"
chown 0:0 "$DENIED"
echo "@@@ DENIED $DENIED"
asuser() { su kvuser -c "$*"; }
run_split list-user asuser "$KV" --list
for n in $(seq "$FIRST" "$((last - 1))"); do
  run_split "check-user-$n" asuser "$KV" --check "$n"
done
for n in $(seq "$ANY" "$((anylast - 1))"); do
  run_split "any-user-$n" asuser "$KV" --check "$n" --any-drive
done
run_split "json-any-user-$ANY" asuser "$KV" --check "$ANY" --any-drive --json
# The kernel's own verdict on the vendor command for a user, as a witness for the report.
for n in /dev/sr*; do
  [ "$n" = "$DENIED" ] && continue
  run "vendor-user-$(basename "$n")" asuser sg_raw -C 1 "$n" DF 00 03 01 00 00 00 00 00 00 00 00
done

# The other node modes: a user outside the group, and a node the group may only read.
echo 'kvother:x:1001:1001::/tmp:/bin/sh' >>/etc/passwd
echo 'kvother:x:1001:' >>/etc/group
run_split list-other su kvother -c "$KV --list"
RO=/dev/sr0
[ "$RO" = "$DENIED" ] && RO=/dev/sr1
chmod 640 "$RO"
echo "@@@ READONLY $RO"
run_split readonly-user asuser "$KV" --check "$RO" --any-drive
chmod 660 "$RO"

# A drive that never answers: scsi_debug as a CD/DVD drive that ignores every command. A check
# ends by itself once the command bound has passed, and SIGTERM ends a listing in the same time.
if [ -e /files/hang/scsi_debug.ko ]; then
  for m in $(cat /files/hang/order); do insmod "/files/hang/$m.ko" 2>/dev/null; done
  insmod /files/hang/scsi_debug.ko ptype=5 num_tgts=1 max_luns=1 dev_size_mb=8 2>&1 | head -n 3
  # The guest's SCSI layer scans only when asked (scan=manual).
  for h in /sys/class/scsi_host/host*; do
    [ "$(cat "$h/proc_name")" = scsi_debug ] && echo "0 0 0" >"$h/scan"
  done
  i=0
  while ! grep -qs scsi_debug /sys/class/scsi_device/*/device/model && [ $i -lt 50 ]; do
    sleep 0.1
    i=$((i + 1))
  done
  for d in /sys/class/scsi_device/*; do
    grep -qs scsi_debug "$d/device/model" || continue
    hung=/dev/$(ls "$d/device/block" 2>/dev/null)
  done
  if [ -n "${hung:-}" ] && [ -e "$hung" ]; then
    echo 0 >"/sys/block/${hung#/dev/}/events_poll_msecs" 2>/dev/null
    echo 1 >/sys/bus/pseudo/drivers/scsi_debug/every_nth
    echo 4 >/sys/bus/pseudo/drivers/scsi_debug/opts
    echo "@@@ HUNG $hung"
    t0=$(cut -d. -f1 /proc/uptime)
    run_split hung-check "$KV" --check "$hung"
    echo "@@@ HUNG-SECONDS $(($(cut -d. -f1 /proc/uptime) - t0))"
    "$KV" --list >/dev/null 2>&1 &
    pid=$!
    sleep 2
    t0=$(cut -d. -f1 /proc/uptime)
    kill -TERM "$pid"
    wait "$pid"
    rc=$?
    echo "@@@ TERM rc=$rc seconds=$(($(cut -d. -f1 /proc/uptime) - t0))"
    echo 0 >/sys/bus/pseudo/drivers/scsi_debug/opts
  else
    echo "@@@ HUNG none"
  fi
fi
exit 0
