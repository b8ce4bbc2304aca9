# Debian package of the installed tree: `cpack -G DEB` in the build folder.
# Library dependencies come from dpkg-shlibdeps; only what it cannot see (plugins
# loaded at run time, translation files) is named here.
set(MOVILIBRO_PACKAGE_MAINTAINER "Movilibro <movilibro@example.org>"
    CACHE STRING "Maintainer written into the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME movilibro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Movilibro)
set(CPACK_PACKAGE_CONTACT ${MOVILIBRO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cash journal of income and expenses, in Italian")
set(CPACK_PACKAGE_DESCRIPTION
    "Movilibro is a day book of money movements for Italian users: every entry
has a date, an account, a description and one amount in or out. The entries
of a period are shown grouped by period, by account or by both, with group
totals and a progressive balance, and can be printed or exported as PDF or CSV.
The user interface is in Italian.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine and image plugin, Qt's own Italian texts (dialog buttons)
# and the Excel workbook writer, all loaded at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, libxlsxwriter4")

include(CPack)
