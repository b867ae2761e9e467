#!/bin/sh
# Installs what the Windows builds and their Wine test runs need on Debian 12: the i686 mingw-w64
# compilers (the -posix thread model; the -win32 one cannot build GoogleTest) and Wine with its 32-bit
# loader (wine32:i386, which needs the i386 architecture). Safe to run again: it returns at once when
# everything it needs is there.
#
# 32-bit Wine can be out of reach: a package mirror in mid-sync can leave the i386 index broken so
# that wine32:i386 cannot be installed (its libraries no longer match the amd64 ones), and a kernel
# without 32-bit program support installs it but cannot start it. Then the x86_64 compilers and 64-bit
# Wine are installed too, so that the Windows tests run on a 64-bit build (scripts/wine-arch.sh tells
# which). Only when neither can be had does this say so and exit 0: the 32-bit program is still built.
set -u
here="$(dirname "$0")"
UPDATE_TRIES="${KV_APT_UPDATE_TRIES:-4}"
UPDATE_PAUSE="${KV_APT_UPDATE_PAUSE:-15}"

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
wine_runs() {
  sh "$here/wine-arch.sh" 2>/dev/null | grep -qx "$1"
}

installed g++-mingw-w64-i686-posix && wine_runs win32 && exit 0
installed g++-mingw-w64-i686-posix && installed g++-mingw-w64-x86-64-posix && wine_runs win64 && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
APT="$SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
KV_APT_UPDATE_TRIES="$UPDATE_TRIES" KV_APT_UPDATE_PAUSE="$UPDATE_PAUSE" sh "$here/apt-update.sh" ||
  echo "install-windows-deps: the package index is still incomplete; trying anyway" >&2

if ! installed g++-mingw-w64-i686-posix; then
  $APT install -y -qq --no-install-recommends g++-mingw-w64-i686-posix || {
    echo "install-windows-deps: could not install g++-mingw-w64-i686-posix" >&2
    exit 1
  }
fi

# wine and wine32:i386 together: "wine" is then satisfied by the 32-bit loader alone, and no 64-bit
# Wine (whose prefixes are twice the size) is pulled in.
if ! installed wine32:i386; then
  $APT install -y -qq --no-install-recommends wine wine32:i386 ||
    echo "install-windows-deps: wine32 unavailable (the i386 index or its library versions do not" \
      "match the amd64 ones, e.g. a mirror in mid-sync)" >&2
fi
wine_runs win32 && exit 0

echo "install-windows-deps: no 32-bit Wine here; installing 64-bit Wine for a 64-bit test build" >&2
$APT install -y -qq --no-install-recommends wine wine64 g++-mingw-w64-x86-64-posix ||
  echo "install-windows-deps: 64-bit Wine could not be installed either; the Windows tests will" \
    "not run" >&2
exit 0
