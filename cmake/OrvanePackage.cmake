# The Debian package: `cpack -G DEB` in a build configured for /usr (see
# scripts/build-package.sh, which also brings Debian's hardening flags).
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_CONTACT "${ORVANE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${ORVANE_MAKER_SITE}/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client for Orvane sports forecasts")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvane is the desktop program for subscribers of the Orvane forecast service.
After logging in with the subscription's login and password, it shows the
subscriber's forecasts in one sortable, coloured table: a row for every match
with the league's flag, kick-off time, teams, tipped bet, odds, tipster, score,
outcome and profit. Refresh fetches them again, and the login can be
remembered. Started from the menu, it keeps the remembered login in
~/.local/state/orvane.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What Qt loads at run time, so no link line names it: on Debian 12 the X11
# platform plug-in and the JPEG reader ship in libqt6gui6, which the link
# dependencies already bring (qt6-qpa-plugins holds only VNC and touch plug-ins).
# xdg-open opens the maker's pages. The fonts are built into the program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
