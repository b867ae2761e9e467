#!/usr/bin/env bash
# cmake --install into a scratch root: every file in its place, the manual page covers every
# option of both editions and renders without warnings, the installed programs run.
#   check-install.sh BUILD-DIR SOURCE-DIR
set -uo pipefail
build=$1
src=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/installed-tree.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

DESTDIR=$scratch cmake --install "$build" >"$scratch.log" 2>&1 || { cat "$scratch.log"; rm -f "$scratch.log"; exit 1; }
rm -f "$scratch.log"
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
check_installed_tree "$scratch" "$prefix" "$libdir" "$here/installed-files.txt"

# Every long and short option that either edition's --help offers is in the manual page.
page=$src/data/krellvane.1
for program in krellvane krellvane-builder; do
  options=$("$scratch$prefix/bin/$program" --help | grep -E '^  -' | sed -E 's/^  //; s/ {2,}.*//' |
    tr ',' '\n' | awk '{print $1}' | sort -u)
  [[ $(echo "$options" | wc -l) -ge 7 ]] || say_fail "$program --help lists too few options: $(echo $options)"
  for option in $options; do
    grep -q -- "$(echo "$option" | sed 's/-/\\\\-/g')" "$page" || say_fail "$program $option missing from krellvane.1"
  done
done
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$scratch$prefix/share/man/man1/krellvane.1.gz" 2>&1 >/dev/null)
  [[ -z $warnings ]] || say_fail "manual page: $warnings"
  target=$(zcat "$scratch$prefix/share/man/man1/krellvane-builder.1.gz")
  [[ $target == ".so man1/krellvane.1" ]] || say_fail "krellvane-builder.1 points at '$target'"
fi
[[ $fail == 0 ]] && echo "ok   installed tree below $prefix"
exit $fail
