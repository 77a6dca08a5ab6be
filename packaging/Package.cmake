# Installation as a desktop application and the Debian package (included by
# the top-level CMakeLists.txt, so that "make package" builds the package).
#
# The program finds its title-bar images next to its executable, so the
# executable and its image/ folder get a folder of their own, lib/ventrix/,
# and bin/ventrix is a symbolic link to it. The desktop entry, the icon and
# the AppStream metadata go where a Linux desktop looks for them.

set(VENTRIX_PROGRAM_DIR lib/ventrix)

install(TARGETS ventrix RUNTIME DESTINATION ${VENTRIX_PROGRAM_DIR})
install(DIRECTORY ${VENTRIX_IMAGE_DIR}/ DESTINATION ${VENTRIX_PROGRAM_DIR}/image
        FILES_MATCHING PATTERN "*.png")

set(link_dir ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${link_dir})
file(CREATE_LINK ../${VENTRIX_PROGRAM_DIR}/ventrix ${link_dir}/ventrix SYMBOLIC)
install(FILES ${link_dir}/ventrix DESTINATION bin)

set(desktop ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${desktop}/org.ventrix.Ventrix.desktop DESTINATION share/applications)
install(FILES ${desktop}/org.ventrix.Ventrix.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES ${desktop}/org.ventrix.Ventrix.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/ventrix RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ventrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The ventrix developers <ventrix@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gas detector alarm records to Excel workbooks")
set(CPACK_PACKAGE_DESCRIPTION
    "ventrix finds a gas detector on a serial port by itself, reads the alarm records it
stored in a chosen time range, shows them in a log and saves them as an Excel 97-2003
workbook (.xls) written by its own BIFF8 writer.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/ventrix/ventrix)
# Shared libraries through dpkg-shlibdeps; the faces the window uses for its
# captions and the title bar's tool tips are not linked, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-wqy-microhei")
include(CPack)
