# Installs the game like a desktop program: the game and its help viewer on
# the PATH, the help file, a menu entry and icons; and packs it as a .deb.
include(GNUInstallDirs)

# The game finds its help viewer beside itself, and the viewer finds the help
# file in ../share/tumbla.
install(TARGETS tumbla tumbla_help RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/TUMBLA.HLP
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tumbla)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tumbla.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tumbla-32.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME tumbla.png)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tumbla-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME tumbla.png)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tumbla)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tumbla developers <dev@tumbla.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tile-clearing fruit puzzle")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Click groups of touching fruit of one kind to blow them up; tiles fall,\n empty columns close, and the ten best scores are kept.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The shared libraries the binaries link, found by dpkg-shlibdeps; the font
# is found at run time through fontconfig, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
