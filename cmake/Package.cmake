# `make package`: a Debian package of what the install rules put in place. Its library
# dependencies are read from the binaries; the report opener and the design's font are added.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ostrevan)
set(CPACK_PACKAGE_VENDOR Tavrosk)
set(CPACK_PACKAGE_CONTACT "Tavrosk <support@tavrosk.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Verknüpfungen von Solid Edge Dokumenten anzeigen")
set(CPACK_PACKAGE_DESCRIPTION
    "Ostrevan ist ein kleiner Assistent für Anwender des CAD-Systems Solid Edge.
Er zeigt die Verknüpfungen, die Solid Edge Dokumente und andere
OLE-Verbunddokumente zu anderen Dateien halten, für ein Dokument oder einen
ganzen Verzeichnisbaum, und schreibt sie in einen Textbericht. Dazu kommen
Befehle für die Kommandozeile wie ostrevan-links.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tavrosk.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-wine")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
