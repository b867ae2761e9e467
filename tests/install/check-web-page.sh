#!/usr/bin/env bash
# One web page and one maintainer everywhere: the address the window's link label opens is the
# metainfo's homepage, the start of its screenshot's address, the manual page's web page and the
# package's Homepage; the package contact is the changelog's maintainer, mailed at that host.
#   check-web-page.sh SOURCE-DIR
set -uo pipefail
src=$1
fail=0
say_fail() { echo "FAIL $*"; fail=1; }

page=$(sed -n 's/.*kMakerWebAddress = "\([^"]*\)".*/\1/p' "$src/ui/skin_look.h")
[[ $page == https://*/ ]] || say_fail "no web address in ui/skin_look.h: '$page'"
host=${page#https://}
host=${host%%/*}
host=${host#www.}

meta=$src/data/org.krellvane.Krellvane.metainfo.xml
homepage=$(sed -n 's:.*<url type="homepage">\([^<]*\)</url>.*:\1:p' "$meta")
[[ $homepage == "$page" ]] || say_fail "metainfo homepage '$homepage', link label '$page'"
shots=$(sed -n 's:.*<image[^>]*>\([^<]*\)</image>.*:\1:p' "$meta")
[[ -n $shots ]] || say_fail "metainfo has no screenshot image"
for shot in $shots; do
  [[ $shot == "$page"*.png ]] || say_fail "screenshot '$shot' is not a picture under $page"
done

grep -q "^\.UR $page\$" "$src/data/krellvane.1" || say_fail "the manual page does not give $page"

package=$src/cmake/KvPackage.cmake
deb_home=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "\([^"]*\)")/\1/p' "$package")
[[ $deb_home == "$page" ]] || say_fail "package Homepage '$deb_home', link label '$page'"
contact=$(sed -n 's/^set(CPACK_PACKAGE_CONTACT "\([^"]*\)")/\1/p' "$package")
[[ $contact == *"@$host>" ]] || say_fail "package contact '$contact' is not mailed at $host"
maintainer=$(sed -n 's/^ -- \(.*>\)  .*/\1/p' "$src/data/changelog" | sort -u)
[[ $maintainer == "$contact" ]] || say_fail "changelog maintainer '$maintainer', package contact '$contact'"

[[ $fail == 0 ]] && echo "ok   web page $page and maintainer $contact everywhere"
exit $fail
