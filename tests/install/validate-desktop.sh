#!/usr/bin/env bash
# desktop-file-validate on the desktop entry and appstreamcli validate on the metainfo, which
# must also name the entry as its launchable and the icon must exist. Exit 77 when a tool is
# missing (Debian packages desktop-file-utils, appstream).
#   validate-desktop.sh DATA-DIR
set -uo pipefail
data=$1
id=org.krellvane.Krellvane
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP $tool is missing (packages desktop-file-utils, appstream)"; exit 77; }
done
fail=0
desktop-file-validate "$data/$id.desktop" || { echo "FAIL desktop-file-validate"; fail=1; }
appstreamcli validate --no-net --pedantic "$data/$id.metainfo.xml" || { echo "FAIL appstreamcli validate"; fail=1; }
grep -qx "Icon=krellvane" "$data/$id.desktop" && [[ -f $data/krellvane.svg ]] || { echo "FAIL icon"; fail=1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$data/$id.metainfo.xml" ||
  { echo "FAIL metainfo does not launch $id.desktop"; fail=1; }
[[ $fail == 0 ]] && echo "ok   desktop entry and metainfo"
exit $fail
