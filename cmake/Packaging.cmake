# Where `cmake --install` puts Parvane on a Linux desktop, and the Debian package built from the
# same install tree (`cpack -G DEB` in the build folder).
include(GNUInstallDirs)

set(PARVANE_APP_ID io.github.parvane.Parvane)
set(PARVANE_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
set(PARVANE_ICON_DIR ${CMAKE_SOURCE_DIR}/resources/icons)

foreach(program parvane parvane-cli)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES ${PARVANE_DESKTOP_DIR}/${PARVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PARVANE_DESKTOP_DIR}/${PARVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PARVANE_DESKTOP_DIR}/${PARVANE_APP_ID}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${PARVANE_APP_ID}.xml)
install(FILES ${PARVANE_ICON_DIR}/parvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${PARVANE_APP_ID}.svg)
foreach(side 16 22 24 32 48 64 128 256)
    install(FILES ${PARVANE_ICON_DIR}/parvane-${side}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps
            RENAME ${PARVANE_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/parvane.1 ${CMAKE_SOURCE_DIR}/docs/man/parvane-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME parvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Parvane")
set(CPACK_PACKAGE_CONTACT "Parvane maintainers <parvane@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assemble texture sets for the Duskvale level editors")
set(CPACK_PACKAGE_DESCRIPTION
    "Parvane cuts 64 x 64 tiles from pictures (BMP, JPEG, TGA, TIFF, PSD, PSP, PCX) and from
the texture pages of Duskvale level files, and assembles them into texture sets saved as
24-bit TGA files for the level editors. parvane-cli does the same file work from scripts.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries come from the binaries; Qt's platform plugins are loaded at run time, so no
# library link names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own French names the buttons of the file dialogs and message boxes and the keys in the
# French hints ("Maj", "Échap"): without it a French window would mix in English key names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
include(CPack)
