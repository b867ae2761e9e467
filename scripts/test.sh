#!/bin/sh
# Builds and runs every test: the g++ build with warnings as errors, then the clang build with
# AddressSanitizer and UndefinedBehaviorSanitizer, a short pass of the fuzz targets, the QEMU guest
# suite, and last the Windows build with its tests under Wine (it says loudly, last, when 32-bit Wine
# could not be had and which tests ran instead).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
CC=gcc CXX=g++ "$root/scripts/build.sh" "$root/build/gcc" -DKV_WERROR=ON
ctest --test-dir "$root/build/gcc" --output-on-failure -j "$(nproc)"
CC=clang-14 CXX=clang++-14 "$root/scripts/build.sh" "$root/build/asan" -DKV_WERROR=ON -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build/asan" --output-on-failure -j "$(nproc)"
# A short bounded pass of each fuzz target (clang, ASan+UBSan), about a minute of fuzzing.
sh "$root/scripts/fuzz.sh"
# The program against a real kernel and MMC drives that are not ours, in QEMU guests.
bash "$root/scripts/guest-tests.sh" --build-dir "$root/build/gcc"
# The 32-bit Windows program and its tests, run under Wine.
sh "$root/scripts/test-windows.sh"
