# The browser build: WebAssembly with Debian's emscripten package, through Emscripten's own
# toolchain file. Used by the game's build and by tools/targets/build-libs.sh for the libraries.
# Emscripten's JavaScript tools run on the system Node, which finds them under NODE_PATH.
if(NOT DEFINED ENV{NODE_PATH})
  set(ENV{NODE_PATH} /usr/share/nodejs)
endif()
find_file(STARMOAT_EMSCRIPTEN_TOOLCHAIN Emscripten.cmake
  PATHS /usr/share/emscripten/cmake/Modules/Platform $ENV{EMSCRIPTEN}/cmake/Modules/Platform
  NO_DEFAULT_PATH)
if(NOT STARMOAT_EMSCRIPTEN_TOOLCHAIN)
  message(FATAL_ERROR "Emscripten's CMake toolchain file was not found (Debian: apt-get install emscripten)")
endif()
include(${STARMOAT_EMSCRIPTEN_TOOLCHAIN})
set(STARMOAT_TARGET emscripten)

# The libraries built by tools/targets/build-libs.sh: its libs.cmake names the current folders.
if(NOT STARMOAT_TARGET_LIB_PREFIXES AND STARMOAT_TARGET_LIBS_FILE)
  include(${STARMOAT_TARGET_LIBS_FILE})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STARMOAT_TARGET_LIB_PREFIXES STARMOAT_TARGET_LIBS_FILE)
# Before the sysroot, whose SDL2 package is the download-on-use "port".
list(PREPEND CMAKE_FIND_ROOT_PATH ${STARMOAT_TARGET_LIB_PREFIXES})

# pkg-config sees only the target's libraries, never the host's.
set(_pc_dirs "")
foreach(_p IN LISTS STARMOAT_TARGET_LIB_PREFIXES)
  list(APPEND _pc_dirs ${_p}/lib/pkgconfig ${_p}/share/pkgconfig)
endforeach()
string(REPLACE ";" ":" _pc_dirs "${_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
