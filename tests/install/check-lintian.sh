#!/usr/bin/env bash
# lintian on the package check-deb.sh made: every tag it reports is one of those explained in
# lintian-explained.txt. Exit 77 (skipped) when lintian is missing.
#   check-lintian.sh BUILD-DIR
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
command -v lintian >/dev/null || { echo "SKIP lintian is missing (Debian package lintian)"; exit 77; }
deb=$(ls "$build"/package/krellvane_*.deb 2>/dev/null | head -n 1)
[[ -n $deb ]] || { echo "FAIL no package in $build/package (the package test makes it)"; exit 1; }
explained=$(grep -v '^#' "$here/lintian-explained.txt" | cut -d' ' -f1 | grep -v '^$')
report=$(lintian --no-cfg --display-info "$deb" 2>&1)
echo "$report"
fail=0
while read -r line; do
  [[ $line =~ ^[EWIP]:\ krellvane[^:]*:\ ([a-z0-9+.-]+) ]] || continue
  tag=${BASH_REMATCH[1]}
  grep -qx -- "$tag" <<<"$explained" || { echo "FAIL unexplained lintian tag: $line"; fail=1; }
done <<<"$report"
[[ $fail == 0 ]] && echo "ok   lintian: every tag explained"
exit $fail
