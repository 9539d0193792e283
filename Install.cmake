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
# Loaded at run time, so the library scan cannot see them: the window
# system plugins, the SVG icon reader and the fonts the layout is sized for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
