#!/usr/bin/env bash
# The Debian package: built by CPack from BUILD-DIR into BUILD-DIR/package, its control fields
# (dependencies from dpkg-shlibdeps only), its files, and the programs run from it after it is
# unpacked into a scratch root. Exit 77 (skipped) when the Debian tools are missing.
#   check-deb.sh BUILD-DIR
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/installed-tree.sh"
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "SKIP $tool is missing (Debian packages dpkg-dev, file)"; exit 77; }
done
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if [[ $prefix != /usr ]]; then
  echo "FAIL the build is configured for $prefix; a .deb needs -DCMAKE_INSTALL_PREFIX=/usr (scripts/build.sh sets it)"
  exit 1
fi
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")

out=$build/package
rm -rf "$out"
mkdir -p "$out"
if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log"
  exit 1
fi
deb=$(ls "$out"/krellvane_*.deb 2>/dev/null | head -n 1)
[[ -n $deb ]] || { echo "FAIL no .deb in $out"; cat "$out/cpack.log"; exit 1; }
echo "package $deb ($(stat -c %s "$deb") bytes)"

info=$(dpkg-deb --info "$deb")
echo "$info"
field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == krellvane ]] || say_fail "Package: $(field Package)"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || say_fail "Architecture: $(field Architecture)"
[[ -n $(field Description) ]] || say_fail "no Description"
[[ $(field Homepage) == https://*/ ]] || say_fail "Homepage: '$(field Homepage)'"
[[ $(field Maintainer) == *"<"*"@"*">" ]] || say_fail "Maintainer: '$(field Maintainer)'"

# The dependencies: exactly what dpkg-shlibdeps finds for the two ELF files, no more, no less.
depends=$(field Depends)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || { echo "FAIL dpkg-deb -x"; exit 1; }
mkdir -p "$root/debian"
: >"$root/debian/control"
elves=("$root/usr/bin/krellvane")
[[ -f $root/usr/$libdir/krellvane/krellvane-gui.so ]] && elves+=("$root/usr/$libdir/krellvane/krellvane-gui.so")
expected=$(cd "$root" && dpkg-shlibdeps -O --ignore-missing-info "${elves[@]#$root/}" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
norm() { tr ',' '\n' | sed 's/^ *//; s/ *$//' | sort; }
[[ $(echo "$depends" | norm) == $(echo "$expected" | norm) ]] ||
  say_fail "Depends: '$depends'; dpkg-shlibdeps: '$expected'"
for lib in libc6 libstdc++6; do
  [[ $depends == *"$lib "* ]] || say_fail "Depends lacks $lib"
done
rm -rf "$root/debian"

check_installed_tree "$root" /usr "$libdir" "$here/installed-files.txt"
[[ $fail == 0 ]] && echo "ok   package $(basename "$deb")"
exit $fail
