# Finds the Qwt 6 plotting library built for Qt 5 and provides the imported
# target Qwt::Qwt. Debian's package is libqwt-qt5-dev (headers under
# /usr/include/qwt, library qwt-qt5); elsewhere set Qwt_ROOT. A static Qwt
# (libqwt.a, such as scripts/build-qwt-mingw builds for MinGW-w64) brings
# Qt's print support along, which its plot uses.
find_path(QWT_INCLUDE_DIR qwt.h PATH_SUFFIXES qwt qwt-qt5 qwt6)
find_library(QWT_LIBRARY NAMES qwt-qt5 qwt)

if(QWT_INCLUDE_DIR AND EXISTS "${QWT_INCLUDE_DIR}/qwt_global.h")
  file(STRINGS "${QWT_INCLUDE_DIR}/qwt_global.h" qwt_version_line
       REGEX "^#define[ \t]+QWT_VERSION_STR[ \t]+\"[0-9.]+\"")
  string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" Qwt_VERSION "${qwt_version_line}")
endif()

set(qwt_required_vars QWT_LIBRARY QWT_INCLUDE_DIR)
if(QWT_LIBRARY MATCHES "\\.a$" AND NOT QWT_LIBRARY MATCHES "\\.dll\\.a$")
  set(Qwt_STATIC TRUE)
  find_package(Qt5 QUIET COMPONENTS PrintSupport)
  list(APPEND qwt_required_vars Qt5PrintSupport_FOUND)
else()
  set(Qwt_STATIC FALSE)
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Qwt
  REQUIRED_VARS ${qwt_required_vars}
  VERSION_VAR Qwt_VERSION
  FAIL_MESSAGE "Qwt 6 for Qt 5 not found (qwt.h and the qwt-qt5 library): install libqwt-qt5-dev, for example with scripts/install-deps")

if(Qwt_FOUND AND NOT TARGET Qwt::Qwt)
  add_library(Qwt::Qwt UNKNOWN IMPORTED)
  set_target_properties(Qwt::Qwt PROPERTIES
    IMPORTED_LOCATION "${QWT_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QWT_INCLUDE_DIR}")
  if(Qwt_STATIC)
    set_property(TARGET Qwt::Qwt PROPERTY INTERFACE_LINK_LIBRARIES Qt5::PrintSupport Qt5::Widgets)
  elseif(WIN32)
    set_property(TARGET Qwt::Qwt APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS QWT_DLL)
  endif()
endif()
mark_as_advanced(QWT_INCLUDE_DIR QWT_LIBRARY)
