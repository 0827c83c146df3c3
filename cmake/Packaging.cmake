# The Debian package: `cpack -G DEB` in the build folder. Its Depends are computed from the
# shared libraries the programs link (dpkg-shlibdeps); the Qt plugins the programs load at run
# time (platform, SVG icons, JPEG, printing) ship in those same library packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME saporin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brindle Office")
set(CPACK_PACKAGE_CONTACT "Saporin developers <saporin@saporin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop recipe manager")
set(CPACK_PACKAGE_DESCRIPTION
  "Saporin keeps a personal collection of cooking recipes filed under categories, with tags,\nformatted bodies with pictures and tables, a tag search, a kitchen conversions calculator,\na table builder and print preview.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are laid out for Arial's metrics; Liberation Sans stands in for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://saporin.example/")
include(CPack)
