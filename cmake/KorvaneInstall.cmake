# `cmake --install` and `cpack -G DEB`: the programs in bin/, the shipped files
# in share/korvane/ (found there by the program when its own folder holds no
# Korvane.dat), and what a desktop and a distribution need: a menu entry,
# icons, AppStream metadata, manual pages, bash completion, the copyright
# file and the changelogs.
include(GNUInstallDirs)

# One home page for the program, its metadata and its package.
if(NOT DEFINED KORVANE_HOME_URL)
  include(${CMAKE_SOURCE_DIR}/cmake/WebAddresses.cmake)
endif()
set(KORVANE_APP_ID "org.korvane.Korvane")
set(KORVANE_SCREENSHOT_URL "${KORVANE_HOME_URL}screenshots/main-window-covers.png"
    CACHE STRING "Where software centres find the screenshot of the AppStream metadata")
set(KORVANE_MAINTAINER "The Korvane developers <packages@korvane.org>")
set(KORVANE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/korvane)
set(KORVANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/korvane)
set(KORVANE_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)

install(TARGETS korvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET korvane)
  install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/resources/Korvane.dat DESTINATION ${KORVANE_DATA_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/languages DESTINATION ${KORVANE_DATA_DIR}
        FILES_MATCHING PATTERN "*.lng")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/skins DESTINATION ${KORVANE_DATA_DIR} OPTIONAL)

# The desktop entry and the AppStream metadata carry the texts of the shipped
# language files and the releases of NEWS, written at build time.
add_executable(korvane-package-metadata ${CMAKE_SOURCE_DIR}/src/app/tools/PackageMetadata.cpp)
target_link_libraries(korvane-package-metadata PRIVATE korvane_settings korvane_image)
set_target_properties(korvane-package-metadata PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
file(GLOB KORVANE_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/languages/*.lng)
set(KORVANE_LANGUAGES_DIR ${CMAKE_SOURCE_DIR}/resources/languages)
set(KORVANE_NEWS ${CMAKE_SOURCE_DIR}/NEWS)
set(KORVANE_DESKTOP_FILE ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.desktop)
set(KORVANE_METAINFO_FILE ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml)
configure_file(${KORVANE_LINUX_DIR}/${KORVANE_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml.template @ONLY)
add_custom_command(OUTPUT ${KORVANE_DESKTOP_FILE}
  COMMAND korvane-package-metadata desktop ${KORVANE_LANGUAGES_DIR}
          ${KORVANE_LINUX_DIR}/${KORVANE_APP_ID}.desktop.in ${KORVANE_DESKTOP_FILE}
  DEPENDS korvane-package-metadata ${KORVANE_LINUX_DIR}/${KORVANE_APP_ID}.desktop.in ${KORVANE_LANGUAGE_FILES}
  VERBATIM)
add_custom_command(OUTPUT ${KORVANE_METAINFO_FILE}
  COMMAND korvane-package-metadata metainfo ${KORVANE_LANGUAGES_DIR} ${KORVANE_NEWS}
          ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml.template ${KORVANE_METAINFO_FILE}
  DEPENDS korvane-package-metadata ${CMAKE_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml.template ${KORVANE_NEWS}
          ${KORVANE_LANGUAGE_FILES}
  VERBATIM)

# Debian wants manual pages and changelogs compressed, without time stamps.
set(KORVANE_PACKAGE_FILES ${KORVANE_DESKTOP_FILE} ${KORVANE_METAINFO_FILE})
foreach(page korvane korvane-cli)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${page}.1.gz
    COMMAND gzip -9n -c ${KORVANE_LINUX_DIR}/${page}.1 > ${CMAKE_BINARY_DIR}/${page}.1.gz
    DEPENDS ${KORVANE_LINUX_DIR}/${page}.1 VERBATIM)
  list(APPEND KORVANE_PACKAGE_FILES ${CMAKE_BINARY_DIR}/${page}.1.gz)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND korvane-package-metadata changelog ${KORVANE_NEWS} ${KORVANE_MAINTAINER} ${CMAKE_BINARY_DIR}/changelog.Debian
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/changelog.Debian
  DEPENDS korvane-package-metadata ${KORVANE_NEWS} VERBATIM)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9n -c ${KORVANE_NEWS} > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${KORVANE_NEWS} VERBATIM)
list(APPEND KORVANE_PACKAGE_FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_target(korvane_package_files ALL DEPENDS ${KORVANE_PACKAGE_FILES})

install(FILES ${CMAKE_BINARY_DIR}/korvane-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KORVANE_LINUX_DIR}/korvane-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME korvane-cli)
install(FILES ${KORVANE_LINUX_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.Debian.gz ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${KORVANE_DOC_DIR})
install(FILES ${KORVANE_LINUX_DIR}/korvane.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME korvane)
if(TARGET korvane)
  install(FILES ${CMAKE_BINARY_DIR}/korvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${KORVANE_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KORVANE_LINUX_DIR}/icons/${KORVANE_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${KORVANE_LINUX_DIR}/icons/${KORVANE_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KORVANE_APP_ID}.png)
  endforeach()
  install(FILES ${KORVANE_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# --- Debian package -----------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "${KORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print disc covers and labels at their exact size")
set(CPACK_PACKAGE_DESCRIPTION "Korvane prints covers for optical-disc cases at their exact physical size:
jewel-case fronts, booklets, tray inlays, DVD sleeves, PlayStation covers,
photos and round disc labels, also onto a disc in a printer's disc tray.
.
korvane-cli lays out, renders and prints covers from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KORVANE_HOME_URL})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries' packages come from what the programs actually link
# (dpkg-shlibdeps). Qt's X11 and CUPS plugins come with the linked libqt6gui6
# and libqt6printsupport6; Wayland's is loaded only where it is installed.
# Metafile text is measured with the Liberation fonts (other fonts give other
# widths); Qt's own dialogs speak the user's language with Qt's translations.
# sensible-editor is one of the editors the formats file may open in.
# libsane1 (scanning) and libdiscid0 (the disc's ID) come the same way; they
# are built against libsane-dev, libdiscid-dev and nlohmann-json3-dev
# (scripts/install-deps.sh). sane-utils is suggested for finding scanners.
# libgs-common has the standard CMYK profile for CMYK pictures without one;
# DejaVu's faces draw the signs of the Wingdings and MT Extra symbol fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, sensible-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, qt6-translations-l10n, qt6-wayland, libgs-common, fonts-dejavu-core, fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sane-utils")
include(CPack)
