# The Debian package: `cpack -G DEB` in the build folder writes
# kavra_<version>_<architecture>.deb with everything `cmake --install` installs,
# under /usr. Its Depends line comes from the shared libraries the programs
# link, as dpkg-shlibdeps finds them.

set(CPACK_PACKAGE_NAME kavra)
set(CPACK_PACKAGE_VENDOR "Kavra developers")
set(CPACK_PACKAGE_CONTACT "${KAVRA_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The synopsis, then the extended description in lines of at most 80 characters
# that do not repeat it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for performance data files recorded over time")
set(CPACK_PACKAGE_DESCRIPTION
    "Kavra opens up to 16 comma-separated files of a data collector's samples at\n"
    "once, lists every measured item they hold and charts the selected items\n"
    "against sample time, with moving averages, smoothed curves, candle charts,\n"
    "ratio charts and the correlation of every item with a chosen one. Charts are\n"
    "exported to image files or printed.\n"
    "\n"
    "kavra-batch loads the same files without a window, for scripts: it prints\n"
    "what was loaded, writes the data again and draws the viewer's chart into a\n"
    "picture.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# cpack puts the synopsis before CPACK_PACKAGE_DESCRIPTION itself.
# The desktop, icon, MIME and manual databases pick the files up through
# their own dpkg triggers, so the package needs no maintainer scripts.

# Without dpkg-shlibdeps CPack would quietly write a package without
# dependencies, which installs but cannot run; stop instead.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingChecks.cmake)

include(CPack)
