# `cmake --install` and `cpack -G DEB`: the programs in bin/, the shipped files
# in share/korvane/ (found there by the program when its own folder holds no
# Korvane.dat), and what a desktop needs: a menu entry, icons, AppStream
# metadata and a manual page.
include(GNUInstallDirs)

set(KORVANE_APP_ID "org.korvane.Korvane")
set(KORVANE_HOMEPAGE_URL "https://korvane.org/" CACHE STRING "The program's home page (AppStream metadata, package)")
set(KORVANE_SCREENSHOT_URL "${KORVANE_HOMEPAGE_URL}screenshots/main-window-covers.png"
    CACHE STRING "Where software centres find the screenshot of the AppStream metadata")
set(KORVANE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/korvane)
set(KORVANE_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)

install(TARGETS korvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET korvane)
  install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/resources/Korvane.dat DESTINATION ${KORVANE_DATA_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/languages DESTINATION ${KORVANE_DATA_DIR}
        FILES_MATCHING PATTERN "*.lng")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/skins DESTINATION ${KORVANE_DATA_DIR} OPTIONAL)

if(TARGET korvane)
  install(FILES ${KORVANE_LINUX_DIR}/${KORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KORVANE_LINUX_DIR}/icons/${KORVANE_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${KORVANE_LINUX_DIR}/icons/${KORVANE_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KORVANE_APP_ID}.png)
  endforeach()
  configure_file(${KORVANE_LINUX_DIR}/${KORVANE_APP_ID}.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Debian wants manual pages compressed.
set(KORVANE_MAN_PAGE ${CMAKE_BINARY_DIR}/korvane-cli.1.gz)
add_custom_command(OUTPUT ${KORVANE_MAN_PAGE}
  COMMAND gzip -9n -c ${KORVANE_LINUX_DIR}/korvane-cli.1 > ${KORVANE_MAN_PAGE}
  DEPENDS ${KORVANE_LINUX_DIR}/korvane-cli.1 VERBATIM)
add_custom_target(korvane_man_page ALL DEPENDS ${KORVANE_MAN_PAGE})
install(FILES ${KORVANE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# --- Debian package -----------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "The Korvane developers <packages@korvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print disc covers and labels at their exact size")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane prints covers for optical-disc cases at their exact physical size: jewel-case fronts, booklets, tray inlays, DVD sleeves, PlayStation covers, photos and round disc labels, also onto a disc in a printer's disc tray. korvane-cli lays out, renders and prints covers from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KORVANE_HOMEPAGE_URL})
# The libraries' packages come from what the programs actually link
# (dpkg-shlibdeps). Qt's X11 and CUPS plugins come with the linked libqt6gui6
# and libqt6printsupport6; Wayland's is loaded only where it is installed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, qt6-wayland")
include(CPack)
