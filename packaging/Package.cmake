# Installation as a desktop application and the Debian package (included by
# the top-level CMakeLists.txt, so that "make package" builds the package).
#
# The program finds its title-bar images next to its executable, so the
# executable and its image/ folder get a folder of their own, lib/ventrix/,
# and bin/ventrix is a symbolic link to it; ventrix-cli, which needs no
# images, goes to bin/ itself. The desktop entry, the icon and the AppStream
# metadata go where a Linux desktop looks for them; the manual pages and the
# changelog go compressed as Debian wants them (gzip -9n: no name, no time).

set(VENTRIX_PROGRAM_DIR lib/ventrix)

install(TARGETS ventrix RUNTIME DESTINATION ${VENTRIX_PROGRAM_DIR})
install(TARGETS ventrix-cli RUNTIME DESTINATION bin)
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

# The changelog's newest entry is the version being packaged. The version has
# no Debian revision, so the package is native and its changelog is
# changelog.gz.
file(STRINGS ${desktop}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^ventrix \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${changelog_head}', "
                      "not with an entry for version ${PROJECT_VERSION}")
endif()
set(compressed)
foreach(source packaging/changelog packaging/man/ventrix.1 packaging/man/ventrix-cli.1)
  get_filename_component(name ${source} NAME)
  set(target ${link_dir}/${name}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${PROJECT_SOURCE_DIR}/${source} ${target}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND compressed ${target})
endforeach()
add_custom_target(ventrix_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${link_dir}/changelog.gz DESTINATION share/doc/ventrix)
install(FILES ${link_dir}/ventrix.1.gz ${link_dir}/ventrix-cli.1.gz DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ventrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The ventrix developers <ventrix@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gas detector alarm records to Excel workbooks")
set(CPACK_PACKAGE_DESCRIPTION
    "ventrix finds a gas detector on a serial port by itself, reads the alarm
records it stored in a chosen time range, shows them in a log and a chart and
saves them as an Excel 97-2003 workbook (.xls), written by its own BIFF8
writer, or as a CSV file. ventrix-cli does the same without a window, for
scripts and scheduled downloads.")
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
