#!/bin/sh
# Runs one Windows program under Wine, headless and quiet: CTest's emulator for the Windows build.
#
# The prefix is $WINEPREFIX (scripts/test-windows.sh makes a fresh one per run and removes it),
# else one under $TMPDIR; never one in the home folder. It is a 32-bit prefix, half the size of a
# 64-bit one, unless KV_WINE_ARCH=win64 (wine64-run.sh) asks for a 64-bit prefix and loader. wineserver and the prefix's helper processes get their stdio on /dev/null and the
# server stays up between tests: otherwise they would hold CTest's output pipe open for seconds
# after every test.
: "${KV_WINE_ARCH:=win32}"
: "${WINEPREFIX:=${TMPDIR:-/tmp}/krellvane-$KV_WINE_ARCH-$(id -u)}"
export WINEPREFIX
export WINEARCH="$KV_WINE_ARCH"
# Debian's "wine" starts the 32-bit loader whenever wine32 is installed, so the 64-bit one is named.
wine=wine
if [ "$KV_WINE_ARCH" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
  export WINELOADER="$wine"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer at prefix creation; callers may add their own overrides.
case "${WINEDLLOVERRIDES:-}" in
  "") WINEDLLOVERRIDES="mscoree,mshtml=" ;;
  *mscoree*) ;;
  *) WINEDLLOVERRIDES="mscoree,mshtml=;$WINEDLLOVERRIDES" ;;
esac
export WINEDLLOVERRIDES
# "wine-run.sh --prefix" names the prefix instead of running anything.
if [ "${1:-}" = "--prefix" ]; then
  echo "$WINEPREFIX"
  exit 0
fi
wineserver -p60 </dev/null >/dev/null 2>&1
"$wine" wineboot </dev/null >/dev/null 2>&1
exec "$wine" "$@"
