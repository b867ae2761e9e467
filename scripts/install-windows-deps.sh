#!/bin/sh
# Installs what the 32-bit Windows build and its Wine test run need on Debian 12: the i686 mingw-w64
# compilers (the -posix thread model; the -win32 one cannot build GoogleTest) and Wine with its 32-bit
# loader (wine32:i386, which needs the i386 architecture). Safe to run again: it returns at once when
# everything is there.
#
# A package mirror in mid-sync can leave the i386 index broken for a while, so that wine32:i386
# cannot be had (its libraries no longer match the amd64 ones). The index is fetched a few times;
# if wine32 still cannot be installed, this says so ("wine32 unavailable") and exits 0, so that the
# Windows program is still built and only its tests are skipped.
set -u
COMPILERS="g++-mingw-w64-i686-posix"
WINE="wine wine32:i386"
UPDATE_TRIES="${KV_APT_UPDATE_TRIES:-4}"
UPDATE_PAUSE="${KV_APT_UPDATE_PAUSE:-15}"

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=""
for p in $COMPILERS $WINE; do
  installed "$p" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
APT="$SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
KV_APT_UPDATE_TRIES="$UPDATE_TRIES" KV_APT_UPDATE_PAUSE="$UPDATE_PAUSE" \
  sh "$(dirname "$0")/apt-update.sh" || echo "install-windows-deps: the package index is still incomplete; trying anyway" >&2

if ! installed g++-mingw-w64-i686-posix; then
  $APT install -y -qq --no-install-recommends g++-mingw-w64-i686-posix || {
    echo "install-windows-deps: could not install g++-mingw-w64-i686-posix" >&2
    exit 1
  }
fi

# wine and wine32:i386 together: "wine" is then satisfied by the 32-bit loader alone, and no 64-bit
# Wine (whose prefixes are twice the size) is pulled in.
if ! installed wine || ! installed wine32:i386; then
  if ! $APT install -y -qq --no-install-recommends wine wine32:i386; then
    echo "install-windows-deps: wine32 unavailable (the i386 index or its library versions do not" >&2
    echo "  match the amd64 ones, e.g. a mirror in mid-sync); the Windows tests will not run" >&2
    exit 0
  fi
fi
exit 0
