# Checks of an installed tree shared by the install and the package tests (sourced, bash):
#   check_installed_tree ROOT PREFIX LIBDIR LIST   every file of LIST under ROOT/PREFIX, nothing
#                                                  else, icons of the right sizes, programs run
fail=0
say_fail() { echo "FAIL $*"; fail=1; }

check_installed_tree() {
  local root=$1 prefix=$2 libdir=$3 list=$4 base expected actual
  base=$root$prefix
  expected=$(grep -v '^#' "$list" | sed "s|@LIBDIR@|$libdir|" | sort)
  actual=$(cd "$base" && find . -type f | sed 's|^\./||' | sort)
  missing=$(comm -23 <(echo "$expected") <(echo "$actual"))
  extra=$(comm -13 <(echo "$expected") <(echo "$actual"))
  [[ -z $missing ]] || say_fail "not installed: $(echo $missing)"
  [[ -z $extra ]] || say_fail "installed but not expected: $(echo $extra)"
  [[ -x $base/bin/krellvane && -x $base/bin/krellvane-builder ]] || say_fail "programs not executable"

  local side kind
  for side in 16 22 24 32 48 64 128 256; do
    kind=$(file -b "$base/share/icons/hicolor/${side}x${side}/apps/krellvane.png" 2>&1)
    [[ $kind == "PNG image data, $side x $side, "* ]] || say_fail "icon ${side}x${side}: $kind"
  done

  local out rc
  out=$(env -u KRELLVANE_EMULATE "$base/bin/krellvane" --version 2>&1)
  [[ $? == 0 && $out == *"krellvane "* ]] || say_fail "installed krellvane --version: $out"
  out=$(env -u KRELLVANE_EMULATE "$base/bin/krellvane-builder" --version 2>&1)
  [[ $? == 0 && $out == *"(builder edition)"* ]] || say_fail "installed krellvane-builder --version: $out"
  out=$(env -u KRELLVANE_EMULATE "$base/bin/krellvane" --list --emulate 2>&1)
  rc=$?
  [[ $rc == 0 && $out == *ORVELIX* ]] || say_fail "installed krellvane --list --emulate ($rc): $out"
  out=$(env -u KRELLVANE_EMULATE "$base/bin/krellvane" --check --emulate 2>&1)
  rc=$?
  [[ $rc == 0 && $out == *"Disc Type = CDR"* ]] || say_fail "installed krellvane --check --emulate ($rc): $out"
  out=$(env -u KRELLVANE_EMULATE "$base/bin/krellvane" --check --emulate \
    "$base/share/krellvane/profiles/qemu-scsi-dvd.json" 2>&1)
  rc=$?
  [[ $rc != 2 && $rc -lt 128 ]] || say_fail "installed profile refused ($rc): $out"
}
