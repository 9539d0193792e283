# Installation as a Linux program and its Debian package (`make package`).
# The program finds its data in ../share/duobahn beside its own folder, so
# the layout below is what it looks for.
include(GNUInstallDirs)

set(DUOBAHN_DATA_DIR ${CMAKE_INSTALL_DATADIR}/duobahn)

install(TARGETS duobahn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
    examples/duobahn.hlp examples/3.wav examples/4.wav
    examples/Starterliste.txt examples/Starterliste.csv examples/Protokollvorlage.doc
    DESTINATION ${DUOBAHN_DATA_DIR})

install(FILES desktop/de.chronalt.duobahn.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/duobahn.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Debian's conventions: the licence, the changelog and the manual page, the
# last two compressed without a name or time stamp so every build of them is
# the same file.
set(DUOBAHN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/duobahn)
set(DUOBAHN_COMPRESSED ${CMAKE_BINARY_DIR}/packaging)
configure_file(packaging/duobahn.1 ${DUOBAHN_COMPRESSED}/duobahn.1 @ONLY)
configure_file(packaging/changelog ${DUOBAHN_COMPRESSED}/changelog COPYONLY)
foreach(document duobahn.1 changelog)
    add_custom_command(OUTPUT ${DUOBAHN_COMPRESSED}/${document}.gz
        COMMAND gzip -9 -n -c ${DUOBAHN_COMPRESSED}/${document} > ${DUOBAHN_COMPRESSED}/${document}.gz
        DEPENDS ${DUOBAHN_COMPRESSED}/${document}
        VERBATIM)
endforeach()
add_custom_target(compressed_documents ALL
    DEPENDS ${DUOBAHN_COMPRESSED}/duobahn.1.gz ${DUOBAHN_COMPRESSED}/changelog.gz)
install(FILES ${DUOBAHN_COMPRESSED}/duobahn.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${DUOBAHN_COMPRESSED}/changelog.gz DESTINATION ${DUOBAHN_DOC_DIR})

configure_file(desktop/de.chronalt.duobahn.metainfo.xml
    ${CMAKE_BINARY_DIR}/de.chronalt.duobahn.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/de.chronalt.duobahn.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME duobahn)
set(CPACK_PACKAGE_VENDOR Chronalt)
set(CPACK_PACKAGE_CONTACT "Chronalt <duobahn@chronalt.de>")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zeitnahme für Rennen auf einer oder zwei Rennspuren
Duobahn misst die Zeiten von Teams auf einer oder zwei Rennspuren, gestartet
und gestoppt per Knopf, Taste oder Lichtschranke an einer seriellen
Schnittstelle, und führt das Ergebnisprotokoll mit Strafzeiten und Urkunden.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package carries the program without its debugging symbols.
set(CPACK_STRIP_FILES ON)
# The libraries the program links (Qt and its WebSockets, qrencode,
# xlsxwriter) come from the library scan above. Loaded at run time, so the
# scan cannot see them: the window system plugins, the SVG icon reader and
# the fonts the layout is sized for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
