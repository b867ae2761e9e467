#!/bin/sh
# Installs what building, testing and running need on Debian 12. Safe to run again.
set -eu
PACKAGES="cmake ninja-build g++ clang-14 libclang-rt-14-dev clang-format
  qt6-base-dev libqt6svg6-dev qt6-svg-dev libgl1-mesa-dev
  nlohmann-json3-dev libcli11-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core xvfb xauth openbox xdotool imagemagick sg3-utils
  dpkg-dev file lintian desktop-file-utils appstream man-db"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
# An index that cannot be refreshed (a mirror in mid-sync) is no reason to stop: the install below
# fails on its own if a package is really missing.
sh "$(dirname "$0")/apt-update.sh" || echo "install-deps: going on with the index as it is" >&2
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 $missing
