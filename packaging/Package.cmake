# The Debian package (cpack -G DEB, or `make deb`): the install rules of the
# program are the package's contents; dpkg-shlibdeps finds the dependencies
# from the binary.

set(VELMARO_DISPLAY_VERSION
    "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}.0${PROJECT_VERSION_PATCH}")
string(REGEX REPLACE "\\.0([0-9][0-9])" ".\\1" VELMARO_DISPLAY_VERSION "${VELMARO_DISPLAY_VERSION}")

# Files Debian wants compressed: built reproducibly (gzip -n, no time stamp).
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
foreach(pair "velmaro.1|velmaro.1.gz" "debian/changelog|changelog.Debian.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 packed)
  add_custom_command(OUTPUT ${packaging_out}/${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/${source} > ${packaging_out}/${packed}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source} VERBATIM)
  list(APPEND packed_files ${packaging_out}/${packed})
endforeach()
add_custom_target(velmaro_packed_docs ALL DEPENDS ${packed_files})

install(FILES ${packaging_out}/velmaro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/velmaro.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/velmaro-32.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME velmaro.png)
install(FILES ${CMAKE_SOURCE_DIR}/resources/velmaro-16.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps RENAME velmaro.png)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/de.velmaro.Velmaro.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/velmaro.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME velmaro)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${packaging_out}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmaro)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmaro)
set(CPACK_PACKAGE_VERSION ${VELMARO_DISPLAY_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Velmaro-Team <info@velmaro.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see which folders are big or empty, and clean them up safely")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmaro lists every folder below the folder you pick, with its full path,
total size, creation and last-access time, and counts the folders that hold
zero bytes. From the list it deletes a folder tree or every zero-byte folder,
acting only on the folder the search saw. It has a German user interface
and also works from a terminal (velmaro list, velmaro zero).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.velmaro.de)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
