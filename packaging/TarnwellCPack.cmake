# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh)
# makes tarnwell_<version>_<arch>.deb from the install rules of the tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwell)
set(CPACK_PACKAGE_VENDOR "Tarnwell developers")
set(CPACK_PACKAGE_CONTACT "Tarnwell developers <tarnwell@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare two text files line by line")
set(CPACK_PACKAGE_DESCRIPTION
  "Tarnwell compares two plain text files line by line and writes a report of
their differences into an editable report window, where it can be saved as
text, printed and shown in any font. Every line of both files appears once,
behind the name of the file it is only in or behind blanks when it is in both.

The package holds the desktop program tarnwell and its command-line twin
tarnwell-compare, which prints the same report on standard output and exits
with the status GNU diff uses.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The programs are installed without their symbol tables, as Debian does.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first package of this version: its changelog is changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends is computed by dpkg-shlibdeps from the libraries the programs link,
# so it follows the build machine's Qt and SQLite instead of a hand-kept list.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
