# `cpack` (from the build folder) makes a Debian package of what `cmake --install` puts
# in place; dpkg-shlibdeps names the libraries it needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvelo)
set(CPACK_PACKAGE_VENDOR Tarvelo)
set(CPACK_PACKAGE_CONTACT "Tarvelo <tarvelo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "Tarvelo finds World of Tanks players and clans through the publisher's public API,
keeps a daily snapshot of each and shows their figures, ratings and changes in a window.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
