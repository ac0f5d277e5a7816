# The Debian package: `cmake --build build --target package` (or `make package` at the root)
# builds vesk_<version>_<arch>.deb with cpack. Binaries are stripped on install into the package;
# the dependencies are found by dpkg-shlibdeps from the binaries themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ulmen")
set(CPACK_PACKAGE_CONTACT "Ulmen Find Text <ulmenfindtext@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Search the text files of folder trees and browse every matching line")
set(CPACK_PACKAGE_DESCRIPTION
    "Ulmen Find Text searches the text files of one or more folder trees for one or more strings\n"
    "and lists every matching line; found lines open at their line in the user's editor.\n"
    "vesk is the desktop program, vesk-cli the command-line front end on the same search.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "geany, meld")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
