#!/usr/bin/env bash
# check-guest-output.sh RAW ROLES EXPECTED_DIR FIRST_LINE LABEL [ANY_FIRST_LINE]
# Judges what in-guest.sh printed (RAW) against the kernel's and sg3-utils' view of the drives
# and the expected reports (ROLES maps H:C:T:L to a file EXPECTED_DIR/<role>.txt). Prints one
# "ok"/"FAIL" line per check, then "LABEL: N passed, N failed"; exits 1 when any check failed.
# Also writes RAW.coverage: "H:C:T:L opcode result" for every command the kernel logged.
set -uo pipefail
RAW=${1:?raw output}
ROLES=${2:?roles file}
EXP=${3:?expected dir}
FIRST=${4:-1}
LABEL=${5:-guest}
ANY_FIRST=${6:-1}  # number of the first line of --check --any-drive (every drive)
ALL=0             # 1: the --any-drive numbering; 0: only the writers' lines, as the window lists
pass=0
fail=0
ok() { pass=$((pass + 1)); echo "ok   $LABEL: $1"; }
bad() {
  fail=$((fail + 1))
  echo "FAIL $LABEL: $1"
  [[ -n ${2:-} ]] && sed 's/^/     | /' <<<"$2"
}
section() { awk -v n="$1" '$0 == "@@@ BEGIN " n {f = 1; next} index($0, "@@@ END " n " rc=") == 1 {f = 0} f' "$RAW"; }
section_rc() { sed -n "s/^@@@ END $1 rc=//p" "$RAW" | head -n1; }
has_section() { grep -qx "@@@ BEGIN $1" "$RAW"; }
trim() { sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' <<<"$1"; }

# The drives as the guest's sysfs names them: hctl|node|vendor|model|rev.
mapfile -t sysfs < <(sed -n 's/^@@@ SYSFS //p' "$RAW")
[[ ${#sysfs[@]} -gt 0 ]] && ok "guest reported ${#sysfs[@]} drives" || bad "guest reported no drives" "$(tail -n 20 "$RAW")"
declare -A LINE_OF ADDR_OF COL_OF REST_OF ROLE_OF NODE_OF TAIL_OF KIND_OF
while read -r hctl role tname kind; do
  [[ -z $hctl || $hctl == \#* ]] && continue
  ROLE_OF[$hctl]=$role
  TAIL_OF[$hctl]="$tname $kind"
  KIND_OF[$hctl]=$kind
done <"$ROLES"

# The host adapter number a drive line shows is its host's rank among the hosts with CD/DVD
# drives (0 for the lowest), not the kernel's host number, which grows with every hot-plug.
declare -A RANK_OF
rank=0
for h in $(for d in "${sysfs[@]}"; do echo "${d%%:*}"; done | sort -n -u); do
  RANK_OF[$h]=$rank
  rank=$((rank + 1))
done

for d in "${sysfs[@]}"; do
  IFS='|' read -r hctl node vendor model rev <<<"$d"
  NODE_OF[$hctl]=$node
  inq=$(grep -F "@@@ SGINQ $hctl|" "$RAW" | head -n1)
  IFS='|' read -r _ _ ivendor imodel irev <<<"${inq#@@@ SGINQ }"
  if [[ $(trim "$vendor") == $(trim "$ivendor") && $(trim "$model") == $(trim "$imodel") &&
    $(trim "$rev") == $(trim "$irev") ]]; then
    ok "$node: sysfs and sg_inq agree ($vendor/$model/$rev)"
  else
    bad "$node: sysfs '$vendor/$model/$rev' but sg_inq '$ivendor/$imodel/$irev'"
  fi
  IFS=: read -r h c t l <<<"$hctl"
  n=${node#/dev/sr}
  # host adapter-path id-target-lun, the two-character column, vendor+product in 24, revision in 4;
  # the column ("%.2s" of the root path) is the node's number and a colon for a drive found by its
  # node, and empty (no characters at all) for one found through the sg driver, which has no root
  ADDR_OF[$hctl]=$(printf '%2d-%d-%d-%d ' "${RANK_OF[$h]}" "$c" "$t" "$l")
  COL_OF[$hctl]=$(printf '%.2s' "$n:")
  REST_OF[$hctl]=$(printf '%24s %4s' "$vendor$model" "$rev")
done

# drive_lines TEXT: the drive lines of --list, without the number column in front ("NN  " or " -  ")
drive_lines() { grep -E '^([ 0-9][0-9]| -)  [ 0-9][0-9]-[0-9]+-[0-9]+-[0-9]+ ' <<<"$1" | cut -c5-; }
# lines_of LINES HCTL: the lines that are this drive's line followed by its type name and kind
lines_of() {
  local l want=${LINE_OF[$2]} tail
  while IFS= read -r l; do
    [[ ${l:0:${#want}} == "$want" ]] || continue
    # the type name and kind; the device node after them is left out
    tail=$(tr -s ' \t' '  ' <<<"${l:${#want}}" | sed -e 's/^ //' -e 's/ $//' -e 's/ [^ ]*$//')
    [[ $tail == "${TAIL_OF[$2]}" ]] && echo "$l"
  done <<<"$1"
}

# set_column node|sg: which two-character column the next list expects
set_column() {
  local hctl
  for hctl in "${!ADDR_OF[@]}"; do
    if [[ $1 == node ]]; then
      LINE_OF[$hctl]="${ADDR_OF[$hctl]}${COL_OF[$hctl]}${REST_OF[$hctl]}"
    else
      LINE_OF[$hctl]="${ADDR_OF[$hctl]}${REST_OF[$hctl]}"
    fi
  done
}

# list_matches SECTION node|sg HCTL...: every drive named has its line once, and no other drive line.
list_matches() {
  local sec=$1 out rc lines want=0 hctl
  set_column "$2"
  shift 2
  has_section "$sec" || { bad "$sec: not run"; return; }
  out=$(section "$sec")
  rc=$(section_rc "$sec")
  lines=$(drive_lines "$out")
  [[ $rc == 0 ]] && ok "$sec: exit code 0" || bad "$sec: exit code $rc" "$out"
  for hctl in "$@"; do
    want=$((want + 1))
    if [[ $(lines_of "$lines" "$hctl" | grep -c .) == 1 ]]; then
      ok "$sec: ${NODE_OF[$hctl]} listed as '${LINE_OF[$hctl]}  ${TAIL_OF[$hctl]}'"
    else
      bad "$sec: ${NODE_OF[$hctl]} not listed as '${LINE_OF[$hctl]}  ${TAIL_OF[$hctl]}'" "$out"
    fi
  done
  local got
  got=$(grep -c . <<<"$lines")
  [[ $got == "$want" ]] && ok "$sec: $want drive lines" || bad "$sec: $got drive lines, expected $want" "$out"
}

# hctl_of_line SECTION N: the drive that --check N reaches (the Nth listed writer, or the Nth
# listed drive with ALL=1), nothing when there is none.
hctl_of_line() {
  local line hctl lines base=$FIRST
  lines=$(drive_lines "$(section "$1")")
  if [[ $ALL == 1 ]]; then base=$ANY_FIRST; else lines=$(grep -E '[[:space:]]writer[[:space:]]+[^[:space:]]+$' <<<"$lines"); fi
  line=$(sed -n "$(($2 - base + 1))p" <<<"$lines")
  [[ -z $line ]] && return
  for hctl in "${!LINE_OF[@]}"; do
    [[ ${line:0:${#ADDR_OF[$hctl]}} == "${ADDR_OF[$hctl]}" ]] && { echo "$hctl"; return; }
  done
}

# no_drive_matches SECTION: --check on a line that reaches no drive is refused with exit 3.
no_drive_matches() {
  local out rc
  out=$(section "$1"; section "$1.err")
  rc=$(section_rc "$1")
  if [[ $rc == 3 ]] && grep -qE 'No drive detected|no drive line|no CD/DVD writer found' <<<"$out" && ! grep -q 'Disc Type' <<<"$out"; then
    ok "$1: no drive on that line, refused with exit 3"
  else
    bad "$1: expected a refusal with exit 3, got $rc" "$out"
  fi
}

# report_matches SECTION EXPECTED_FILE
report_matches() {
  local sec=$1 file=$2 out rc want_rc="" actual=() i=0 line why=""
  out=$(section "$sec")
  rc=$(section_rc "$sec")
  mapfile -t actual <<<"$out"
  [[ -z $out ]] && actual=()
  while IFS= read -r line || [[ -n $line ]]; do
    case $line in
      '' | \#*) continue ;;
      '@rc '*) want_rc=${line#@rc }; continue ;;
    esac
    local a=${actual[$i]-}
    case $line in
      '~'*)
        if [[ $i -lt ${#actual[@]} && $a == ${line#\~} ]]; then i=$((i + 1)); else why="line $((i + 1)): '$a' does not match '${line#\~}'"; break; fi ;;
      '? '*)
        [[ $i -lt ${#actual[@]} && $a == "${line#\? }" ]] && i=$((i + 1)) ;;
      *)
        if [[ $i -lt ${#actual[@]} && $a == "$line" ]]; then i=$((i + 1)); else why="line $((i + 1)): '$a', expected '$line'"; break; fi ;;
    esac
  done <"$file"
  [[ -z $why && $i -lt ${#actual[@]} ]] && why="unexpected line $((i + 1)): '${actual[$i]}'"
  [[ -z $why && -n $want_rc && $rc != "$want_rc" ]] && why="exit code $rc, expected $want_rc"
  if [[ -z $why ]]; then ok "$sec: report as $(basename "$file" .txt)"; else bad "$sec: $why" "$out"; fi
}

# json_agrees JSON_SECTION TEXT_SECTION: the JSON object says what the text report says.
json_agrees() {
  local js=$1 ts=$2 json text want got
  json=$(section "$js")
  text=$(section "$ts")
  if ! jq -e 'type == "object"' >/dev/null 2>&1 <<<"$json"; then
    bad "$js: not one JSON object" "$json"
    return
  fi
  [[ $(section_rc "$js") == $(section_rc "$ts") ]] && ok "$js: exit code as the text report" ||
    bad "$js: exit code $(section_rc "$js"), text report $(section_rc "$ts")"
  local label key
  for pair in "Drive Type:drive.driveType.name" "Disc Type:disc.type.name"; do
    label=${pair%%:*}
    key=${pair#*:}
    want=$(sed -n "s/^ *$label = //p" <<<"$text" | head -n1)
    got=$(jq -r ".$key // empty" <<<"$json")
    got=$(trim "$got")
    if [[ -n $got && $(trim "$want") == "$got"* ]]; then
      ok "$js: $key '$got'"
    else
      bad "$js: $key '$got', text says '$want'" "$json"
    fi
  done
  want=$(sed -n 's/^KRELL-VANE Speed Limit = \([0-9.]*\)X.*/\1/p' <<<"$text")
  if [[ -n $want ]]; then
    got=$(jq -r '.disc.speed.multiple // empty' <<<"$json")
    if [[ -n $got ]] && awk -v a="$got" -v b="$want" 'BEGIN { d = a - b; exit !(d < 0.051 && d > -0.051) }'; then
      ok "$js: speed multiple $got"
    else
      bad "$js: speed multiple '$got', text says ${want}X" "$json"
    fi
    got=$(jq -r '.disc.speed.printed // empty' <<<"$json")
    [[ $got == "${want}X" ]] && ok "$js: speed printed $got" ||
      bad "$js: speed printed '$got', text says ${want}X" "$json"
  else
    [[ $(jq -r '.disc.speed' <<<"$json") == null ]] && ok "$js: no speed line, speed null" ||
      bad "$js: no speed line, but speed is not null" "$json"
  fi
  # the manufacturer as the line ends, and null where the report has no such line
  want=$(sed -n 's/^Manufacturer Maybe = //p' <<<"$text" | head -n1)
  got=$(jq -r '.disc.manufacturer.printed // empty' <<<"$json")
  [[ $got == "$want" ]] && ok "$js: manufacturer '${got:-null}'" ||
    bad "$js: manufacturer '$got', text says '$want'" "$json"
  # a report that reached its speed line is a completed check
  want=false
  grep -q '^KRELL-VANE Speed Limit' <<<"$text" && want=true
  [[ $want == false ]] && grep -q 'NO MEDIA' <<<"$text" && want=true
  got=$(jq -r '.completed' <<<"$json")
  [[ $got == "$want" ]] && ok "$js: completed $got" || bad "$js: completed '$got', expected $want" "$json"
}

# Root with the sg driver: every drive listed with the kernel's address and INQUIRY texts.
all=()
for d in "${sysfs[@]}"; do all+=("${d%%|*}"); done
list_matches list-root sg "${all[@]}"

# checks_on LIST_SECTION PREFIX COUNT: the --check reports (PREFIX-N, json-PREFIX-N) of the
# drives that LIST_SECTION lists, in the writer numbering (ALL=0) or the --any-drive one (ALL=1).
checks_on() {
  local list=$1 prefix=$2 count=$3 base=$FIRST n hctl role
  [[ $ALL == 1 ]] && base=$ANY_FIRST
  for ((n = base; n < base + count; n++)); do
    hctl=$(hctl_of_line "$list" "$n")
    [[ -z $hctl ]] && { no_drive_matches "$prefix-$n"; continue; }
    role=${ROLE_OF[$hctl]:-}
    [[ -n $role ]] || { bad "$prefix-$n: names no known drive"; continue; }
    report_matches "$prefix-$n" "$EXP/$role.txt"
    has_section "json-$prefix-$n" && json_agrees "json-$prefix-$n" "$prefix-$n"
  done
}
ALL=0 checks_on list-root check-root ${#all[@]}
ALL=1 checks_on list-root any-root ${#all[@]}

# Bad input: a clear message and a usage or no-drive exit code, never a report.
for sec in bad-line-past-end bad-line-text; do
  out=$(section "$sec")
  rc=$(section_rc "$sec")
  if [[ $rc != 0 && -n $out ]] && ! grep -q 'Disc Type' <<<"$out"; then
    ok "$sec: refused with exit code $rc"
  else
    bad "$sec: exit code $rc" "$out"
  fi
done

# Root without the sg driver: the same drive lines, found through the block nodes.
if grep -qx '@@@ SG unloaded' "$RAW"; then
  list_matches list-nosg node "${all[@]}"
  ALL=0 checks_on list-nosg check-nosg 1
  ALL=1 checks_on list-nosg any-nosg 1
else
  bad "the sg driver could not be unloaded"
fi

# Ordinary user: the denied node gives a permission hint, the others their full reports.
denied=$(sed -n 's/^@@@ DENIED //p' "$RAW")
allowed=()
for h in "${all[@]}"; do [[ ${NODE_OF[$h]} == "$denied" ]] || allowed+=("$h"); done
# the sg nodes stay root's, so the sg driver reaches no drive: the drives come from their nodes
list_matches list-user node "${allowed[@]}"
out=$(section list-user; section list-user.err)
if grep -qiE 'permission|not allowed' <<<"$out" && grep -qF "$denied" <<<"$out"; then
  ok "list-user: permission hint names $denied"
else
  bad "list-user: no permission hint for $denied" "$out"
fi
ALL=0 checks_on list-user check-user ${#allowed[@]}
ALL=1 checks_on list-user any-user ${#allowed[@]}
for h in "${allowed[@]}"; do
  sec="vendor-user-$(basename "${NODE_OF[$h]}")"
  if [[ $(section_rc "$sec") != 0 ]] && grep -qi 'not permitted' <<<"$(section "$sec")"; then
    ok "$sec: the kernel refuses the vendor command for a user"
  else
    bad "$sec: vendor command not refused" "$(section "$sec")"
  fi
done

# Round trip: each capture the guest wrote (--trace) replays on the host to the same output and
# exit code, and capturing the replay gives the same file: every command, answer, count and time.
HOST_KV=${KV_HOST_PROGRAM:-}
replays() {  # NAME ARGS...: the section NAME and its capture-NAME, replayed with ARGS
  local name=$1 dir out rc
  shift
  has_section "capture-$name" || { bad "$name: no capture"; return; }
  dir=$(mktemp -d)
  section "capture-$name" >"$dir/capture.json"
  out=$("$HOST_KV" --emulate "$dir/capture.json" "$@" --trace "$dir/replay.json" 2>&1)
  rc=$?
  if [[ $out != "$(section "$name")" || $rc != "$(section_rc "$name")" ]]; then
    bad "$name: the replayed capture prints something else (exit $rc)" \
      "$(diff <(section "$name") <(echo "$out"))"
  elif ! cmp -s "$dir/capture.json" "$dir/replay.json"; then
    bad "$name: the replay sends other commands or gets other answers" \
      "$(diff "$dir/capture.json" "$dir/replay.json" | head -n 20)"
  else
    ok "$name: replayed on the host, same output and the same $(grep -c '"cdb"' "$dir/capture.json") commands"
  fi
  rm -rf "$dir"
}
if [[ -n $HOST_KV && -x $HOST_KV ]]; then
  for ((n = ANY_FIRST; n < ANY_FIRST + ${#all[@]}; n++)); do
    replays "any-root-$n" --check "$n" --any-drive
    replays "speeds-root-$n" --speeds "$n"
    replays "info-root-$n" --drive-info "$n"
  done
  grep -qx '@@@ SG unloaded' "$RAW" && replays "any-nosg-$ANY_FIRST" --check "$ANY_FIRST" --any-drive
else
  bad "no host program to replay the captures (KV_HOST_PROGRAM)"
fi
# What the drives answered (QEMU-MMC-ANSWERS.md): tgt's blank DVD+R offers 3324 kB/s (2.4x DVD)
# from GET PERFORMANCE; QEMU's drives report no write speed.
speeds=$(for ((n = ANY_FIRST; n < ANY_FIRST + ${#all[@]}; n++)); do section "speeds-root-$n"; done)
if [[ $LABEL == tgt* ]]; then
  grep -q '^  3324 kB/s    2.4x  GET PERFORMANCE' <<<"$speeds" && ok "speeds: tgt's DVD+R offers 3324 kB/s (2.4x)" ||
    bad "speeds: no 3324 kB/s line for tgt's DVD+R" "$speeds"
  info=$(for ((n = ANY_FIRST; n < ANY_FIRST + ${#all[@]}; n++)); do section "info-root-$n"; done)
  grep -q '^Profiles: .*DVD+R (001Bh) current' <<<"$info" && ok "drive-info: DVD+R is the current profile" ||
    bad "drive-info: DVD+R is not named current" "$info"
else
  want=${#all[@]}
  got=$(grep -c '^The drive reports no write speed for this disc.$' <<<"$speeds")
  [[ $got == "$want" ]] && ok "speeds: none of QEMU's $want drives reports a write speed" ||
    bad "speeds: $got of $want QEMU drives said they report no write speed" "$speeds"
fi

# A drive named by its node gives the report of the drive on that node.
for h in "${all[@]}"; do
  sec="node-root-$(basename "${NODE_OF[$h]}")"
  json=$(section "$sec")
  want=$(printf '%d-%d-%d-%d' ${ADDR_OF[$h]//-/ })
  got=$(jq -r '.drive.address // empty' <<<"$json" 2>/dev/null)
  if [[ $got == "$want" ]] && jq -e '.disc' >/dev/null 2>&1 <<<"$json"; then
    ok "$sec: --check ${NODE_OF[$h]} reports the drive listed as $want"
  else
    bad "$sec: --check ${NODE_OF[$h]} reports '$got', expected the drive $want" "$json"
  fi
done
out=$(section bad-node)
rc=$(section_rc bad-node)
[[ $rc == 3 && -n $out ]] && ! grep -q 'Disc Type' <<<"$out" && ok "bad-node: /dev/null refused with exit 3" ||
  bad "bad-node: exit code $rc" "$out"

# Hints for an ordinary user, from the node's mode and the user's groups.
err=$(section list-user.err)
if grep -F "$denied" <<<"$err" | grep -q 'not group-accessible.*udev rule'; then
  ok "list-user: $denied (root:root 0600) needs a udev rule, says the hint"
else
  bad "list-user: no udev-rule hint for $denied" "$err"
fi
if grep -E '/dev/sg[0-9]' <<<"$err" | grep -q 'not group-accessible'; then
  ok "list-user: the sg nodes are named in a hint"
else
  bad "list-user: no hint names the sg nodes" "$err"
fi
err=$(section list-other.err)
if grep -q "add your user to the 'cdrom' group" <<<"$err"; then
  ok "list-other: a user outside the group is told to join 'cdrom'"
else
  bad "list-other: no hint to join the 'cdrom' group" "$err"
fi
ro=$(sed -n 's/^@@@ READONLY //p' "$RAW")
err=$(section readonly-user.err)
if [[ $(section_rc readonly-user) != 3 ]] && grep -E 'refused' <<<"$err" | grep -qE '(BBh|B6h).*read-only'; then
  ok "readonly-user: $ro open read-only, the refused speed command named on stderr"
else
  bad "readonly-user: no refused-command line for $ro (exit $(section_rc readonly-user))" "$err$(section readonly-user)"
fi
# The vendor command reaches a DVD+ writer only; there the user is told the kernel refused it.
for sec in $(sed -n 's/^@@@ BEGIN \(any-user-[0-9]*\)$/\1/p' "$RAW"); do
  n=${sec#any-user-}
  h=$(ALL=1 hctl_of_line list-user "$n")
  [[ -n $h && ${ROLE_OF[$h]:-} == tgt-blank-dvdplusr ]] || continue
  err=$(section "$sec.err")
  if grep -q 'refused.*DFh.*CAP_SYS_RAWIO' <<<"$err"; then
    ok "$sec: the refused vendor command named on stderr"
  else
    bad "$sec: no refused-command line for the vendor command" "$err"
  fi
done

# A drive that never answers: the check ends by itself after the command bound, and SIGTERM
# ends a listing that waits on it just as soon.
hung=$(sed -n 's/^@@@ HUNG //p' "$RAW")
if [[ -n $hung && $hung != none ]]; then
  secs=$(sed -n 's/^@@@ HUNG-SECONDS //p' "$RAW")
  err=$(section hung-check.err)
  rc=$(section_rc hung-check)
  if [[ $rc == 5 ]] && grep -q 'did not answer' <<<"$err" && [[ ${secs:-999} -le 90 ]]; then
    ok "hung-check: $hung never answers; the check ended in $secs s with exit 5"
  else
    bad "hung-check: exit $rc after ${secs:-?} s" "$err"
  fi
  read -r term_rc term_s < <(sed -n 's/^@@@ TERM rc=\([0-9]*\) seconds=\([0-9]*\)$/\1 \2/p' "$RAW")
  if [[ ${term_rc:-} == 143 && ${term_s:-999} -le 40 ]]; then
    ok "hung-term: SIGTERM ended the listing $term_s s after it was sent"
  else
    bad "hung-term: SIGTERM gave exit ${term_rc:-?} after ${term_s:-?} s"
  fi
elif [[ -n $hung ]]; then
  bad "hung: the scsi_debug drive did not appear"
fi

# Commands the kernel saw during the root runs: "hctl opcode result", the address taken from
# each log line ("sr 2:0:1:0: [sr1] tag#0 CDB: ...").
awk '
  /^@@@ BEGIN trace-/ { f = 1; next }
  /^@@@ END trace-/ { f = 0 }
  !f { next }
  { h = ""; for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+:[0-9]+:[0-9]+:[0-9]+:$/) { h = substr($i, 1, length($i) - 1); break } }
  /Done:/ { split($0, p, "Done: "); split(p[2], q, " "); res[h] = q[1]; next }
  /CDB:/ { if (!(h in res)) next
           split($0, p, "CDB: "); n = split(p[2], w, " "); op = ""
           for (i = 1; i <= n; i++) if (w[i] ~ /^[0-9a-f][0-9a-f]$/) { op = w[i]; break }
           print h, op, res[h]; delete res[h] }' "$RAW" >"$RAW.coverage"
sort -u -o "$RAW.coverage" "$RAW.coverage"

echo "$LABEL: $pass passed, $fail failed"
[[ $fail == 0 ]]
