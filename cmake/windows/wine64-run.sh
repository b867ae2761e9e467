#!/bin/sh
# wine-run.sh for the 64-bit Windows build: a 64-bit prefix and Wine's 64-bit loader.
KV_WINE_ARCH=win64 exec sh "$(dirname "$0")/wine-run.sh" "$@"
