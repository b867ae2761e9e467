#!/bin/sh
# Configures and builds one variant: scripts/build.sh DIR [cmake options...]
# Installs and packages for /usr, as the .deb does; pass -DCMAKE_INSTALL_PREFIX=/usr/local (or
# another folder) after DIR for a local cmake --install.
set -eu
dir="$1"
shift
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
