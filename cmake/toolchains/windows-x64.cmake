# Windows x64 with Debian's MinGW-w64 (g++-mingw-w64-x86-64), POSIX thread model for std::thread.
# Used by the game's cross build and by tools/targets/build-libs.sh for the libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(STARMOAT_TARGET windows-x64)
set(STARMOAT_TARGET_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR x86_64-w64-mingw32-ar CACHE FILEPATH "")
set(CMAKE_RANLIB x86_64-w64-mingw32-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump CACHE FILEPATH "")

# The libraries built by tools/targets/build-libs.sh: its libs.cmake names the current folders.
if(NOT STARMOAT_TARGET_LIB_PREFIXES AND STARMOAT_TARGET_LIBS_FILE)
  include(${STARMOAT_TARGET_LIBS_FILE})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STARMOAT_TARGET_LIB_PREFIXES STARMOAT_TARGET_LIBS_FILE)
set(CMAKE_FIND_ROOT_PATH /usr/${STARMOAT_TARGET_TRIPLE} ${STARMOAT_TARGET_LIB_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the target's libraries, never the host's.
set(_pc_dirs "")
foreach(_p IN LISTS STARMOAT_TARGET_LIB_PREFIXES)
  list(APPEND _pc_dirs ${_p}/lib/pkgconfig ${_p}/share/pkgconfig)
endforeach()
string(REPLACE ";" ":" _pc_dirs "${_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The tests run through Wine.
find_program(STARMOAT_WINE NAMES wine wine64)
if(STARMOAT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${STARMOAT_WINE})
endif()
