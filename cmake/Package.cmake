# make package: a Debian package of the installed layout under /usr. Its dependencies are read
# from the shared libraries the programs link (dpkg-shlibdeps), so apt can install it anywhere.
if(WIN32 OR APPLE)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ledgrix)
set(CPACK_PACKAGE_VENDOR "Brookvale Software")
set(CPACK_PACKAGE_CONTACT "Brookvale Software <support@ledgrix.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "find, browse and correct stock-quote data in MetaStock or CompuTrac format")
set(CPACK_PACKAGE_DESCRIPTION "\
Ledgrix finds the portfolios on a drive, shows their symbols and quotes,
and corrects them in place: single days, stock splits, scaled date ranges,
symbols moved or copied between portfolios, damaged MASTER files. Every
change writes a complete new copy beside the old file and keeps a backup.
ledgrix-cli makes the same corrections from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ledgrix.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's SVG icons are drawn by Qt's SVG plugins, which are loaded at run time, so no
# linked library names their package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# No source package: the git tree is the source.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
