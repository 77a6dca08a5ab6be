# Cross build for 64-bit Windows with MinGW-w64; programs run under Wine.
#   cmake -S . -B build-windows -DVENTRIX_WITH_QT=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.toolchain.cmake
# With a Qt built for MinGW-w64 unpacked in QT_DIR, the whole program:
#   cmake ... -DVENTRIX_MINGW_QT=QT_DIR
# With the static Qwt of scripts/build-qwt-mingw in QWT_DIR, with the chart:
#   cmake ... -DVENTRIX_MINGW_QWT=QWT_DIR
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread
# model lacks.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# Qt's package files are found only below a root path; the try-compile
# projects read this file as well and need the same roots.
if(VENTRIX_MINGW_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VENTRIX_MINGW_QT})
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VENTRIX_MINGW_QT)
endif()
if(VENTRIX_MINGW_QWT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VENTRIX_MINGW_QWT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static linking: the programs need no MinGW runtime DLLs next to them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Tests and benchmarks run under Wine, in a prefix of this build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
