#!/bin/sh
# Which Windows build's tests this machine can run under Wine: prints "win32" when 32-bit Wine runs,
# else "win64" when 64-bit Wine does. Otherwise prints nothing, gives the reason on standard error and
# exits 1. A package alone proves nothing: a kernel built without 32-bit program support installs
# wine32 but refuses to start its loader ("Exec format error").
loader_runs() {
  [ -x "$1" ] && "$1" --version >/dev/null 2>&1
}
if loader_runs /usr/lib/wine/wine; then
  echo win32
  exit 0
fi
if [ -x /usr/lib/wine/wine ]; then
  why="32-bit Wine is installed but does not start (this kernel runs no 32-bit programs)"
else
  why="32-bit Wine (wine32:i386) is not installed"
fi
if loader_runs /usr/lib/wine/wine64; then
  echo "wine-arch: $why; 64-bit Wine runs" >&2
  echo win64
  exit 0
fi
echo "wine-arch: $why, and 64-bit Wine does not run either" >&2
exit 1
