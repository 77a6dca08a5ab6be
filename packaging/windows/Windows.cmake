# The Windows release (included by the top-level CMakeLists.txt in a cross
# build for Windows with Qt): the target windows-installer packs the programs
# below, the first one's images and icon and the licences into an installer,
# a zip and a relink kit in the build folder (scripts/package-windows).

# Every program that ships, linked statically with Qt.
set(VENTRIX_WINDOWS_PROGRAMS ventrix ventrix-cli)

set(program_files)
foreach(program IN LISTS VENTRIX_WINDOWS_PROGRAMS)
  list(APPEND program_files $<TARGET_FILE:${program}>)
endforeach()
get_filename_component(qt_prefix ${Qt5_DIR}/../../.. ABSOLUTE)
add_custom_target(windows-installer
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/package-windows ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
          ${qt_prefix} ${program_files}
  VERBATIM)
add_dependencies(windows-installer ${VENTRIX_WINDOWS_PROGRAMS})
