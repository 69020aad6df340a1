# The Debian package: cpack -G DEB in a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr (scripts/package does so).

set(RXT_PACKAGE_MAINTAINER "RX-T7100 maintainers <maintainers@rx-t7100.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rxt-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "RX-T7100 configuration authors")
set(CPACK_PACKAGE_CONTACT ${RXT_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration of the RX-T7100 mouse, mousepad and keyboard")
set(CPACK_PACKAGE_DESCRIPTION
    "rxt-config sets up the RX-T7100 gaming mouse, its RGB mousepad and the RGB
per-key keyboard: DPI levels, report rate, lighting, button and key
functions, macros, cursor schemes and profiles that switch with the
application in front. It lives in the system tray.
The package also holds rxtctl, a command-line tool for the devices, and
rxt-sim, a simulator of them, and a udev rule that lets the desktop user
open the devices.")
# Data paths are compiled in, so the package installs where the build looks.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${RXT_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the window's platform
# plugin, and a font with the letters of the Chinese language files.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS fonts-wqy-microhei)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/postinst
    ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
