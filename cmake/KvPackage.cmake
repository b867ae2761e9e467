# `cpack -G DEB` (or the `package` target): one .deb of what cmake --install puts in place. Its
# dependencies come from the shared libraries the program and the window module link, through
# dpkg-shlibdeps, and nothing else.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME krellvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Krellvane")
set(CPACK_PACKAGE_CONTACT "Krellvane maintainers <krellvane@orvelix.example>")
# The web page is the one the window's link label opens (ui/skin_link_label.h); the install tests
# check that the metainfo, the manual page and the package all give that one address.
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orvelix.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "identify the recordable CD or DVD in a writer")
set(CPACK_PACKAGE_DESCRIPTION
  "Krellvane tells which recordable disc sits in a CD/DVD writer and how fast
the writer will burn it: drive type, disc type and layers, dye, ATIP times,
capacity, manufacturer and type identifiers, and the probable disc maker.
The command line (--list, --check, JSON output) needs no display and loads
no window toolkit; the window lives in a module loaded only when it opens.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
# The folders compiled into the program are the configured ones: package a build configured
# with -DCMAKE_INSTALL_PREFIX=/usr (scripts/build.sh does).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_SET_DESTDIR OFF)
include(CPack)
