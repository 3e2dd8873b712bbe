# Debian package of the installed program: `cpack -G DEB` in the build folder.
# The package holds exactly what `cmake --install` puts under /usr.

set(ORVANE_PACKAGE_CONTACT "Tessaly <orvane@tessaly.com>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane-editor)
set(CPACK_PACKAGE_VENDOR Tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for Internet link files")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvane Editor saves one Web, FTP, Telnet, Gopher or RealMedia address as an Internet\n\
shortcut (.url) or a RealMedia link (.ram), and builds RealMedia play lists.")
set(CPACK_PACKAGE_CONTACT "${ORVANE_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${ORVANE_WEB_FOLDER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from the binary itself; the window-system plugins Qt loads at
# run time are only recommended by Qt's own packages, and without them no window opens.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-gtk-platformtheme")

include(CPack)
