# Installs the game like a desktop program: the game, its help viewer and
# help file together in one private folder (the viewer and the help file are
# found beside the program), a command on the PATH, a menu entry and icons.
include(GNUInstallDirs)

set(TUMBLA_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/tumbla)

install(TARGETS tumbla RUNTIME DESTINATION ${TUMBLA_PRIVATE_DIR})
if(TARGET tumbla_help)
  install(TARGETS tumbla_help RUNTIME DESTINATION ${TUMBLA_PRIVATE_DIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/TUMBLA.HLP DESTINATION ${TUMBLA_PRIVATE_DIR})
# The command resolves to the private folder, so /proc/self/exe leads there.
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${TUMBLA_PRIVATE_DIR}/tumbla\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tumbla\" SYMBOLIC)
")
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
