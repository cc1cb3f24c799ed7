# `make package` (cpack in the build folder): a Debian package of what
# `cmake --install` puts under /usr.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kestrix")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Kestrix developers")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "speed-reading trainer that shows a text one word at a time")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrix is a desktop speed-reading trainer with a Russian interface.\n\
Put a whole book into it, pick a speed between 150 and 1000 words per\n\
minute and press start: the text is shown one word at a time in a fixed\n\
field, each word split around one red recognition letter between two\n\
black tick marks, so that the eyes never have to move.\n\
\n\
Pause, jump back, restart, two display fonts, a compact view, keyboard\n\
shortcuts and a learning mode that shows new words longer are at hand.\n\
The text, the bookmark and the settings are kept, so the next start\n\
continues the book where it was left.")

set(KESTRIX_MAINTAINER "Kestrix developers <info@kestrix.test>" CACHE STRING
    "Maintainer named in the Debian package")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTRIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTRIX_HOMEPAGE}")
# The libraries come from dpkg-shlibdeps; Qt's platform plugins, the SQLite
# driver of the bookshelf and the display fonts are loaded at run time, so
# they are named here, and so is Poppler's Qt 6 binding that reads PDF books.
# Poppler's encoding data lets it read the text of PDF files in CJK fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6sql6-sqlite, fonts-dejavu-core, libpoppler-qt6-3")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation2, fonts-dejavu-extra, qt6-translations-l10n, poppler-data")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
