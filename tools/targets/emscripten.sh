# The browser (WebAssembly) through Debian's emscripten package: sourced by build-libs.sh.
# Every library is static and linked into the one .wasm. Emscripten's "ports" would download
# their own copies, so none is used: zlib comes from Debian's source like the rest. Only what the
# game uses is built: no threads (they would need cross-origin isolation headers), no shared
# libraries, no optional formats.
# A library's cache key is its build_* function below plus the helpers, the toolchain file and
# the check presets named here, and the emcc version (static libraries are linked by the same
# Emscripten that compiled them), so changing one library's options rebuilds that library and
# what links it, nothing else.

TARGET_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TARGET_TOOLCHAIN=$(cd "$TARGET_DIR/../.." && pwd)/cmake/toolchains/emscripten.cmake
TARGET_SDL2_CHECKS=$TARGET_DIR/emscripten/libsdl2-checks.cmake
TARGET_RECIPE_FUNCS=(target_cmake)
TARGET_RECIPE_FILES=("$TARGET_TOOLCHAIN" "$TARGET_SDL2_CHECKS")

# emcc is a Python program started through python3 on PATH. A pyenv shim there costs about a
# second a call, and every configure check is a call or two: take the system Python Debian's
# emscripten is made for. Its JavaScript tools run on the system Node, which finds them here.
if [ -z "${EMSDK_PYTHON:-}" ] && [ -x /usr/bin/python3 ]; then
  export EMSDK_PYTHON=/usr/bin/python3
fi
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# The Emscripten the libraries are built with (and Debian's revision of it, which may patch its
# system libraries): part of every library's key.
target_recipe_tools() {
  emcc -dumpversion
  dpkg-query -W -f='${Version}\n' emscripten 2>/dev/null || true
}

# Dependencies first, and otherwise the longest builds first, since build-libs.sh starts them in
# this order as far as it runs libraries at the same time. SDL2_mixer plays XM through
# libmodplug, as Debian's Linux build does; FreeType reads zlib's compressed fonts through the
# zlib before it, and the game packs its replays with it.
TARGET_LIBS=(libmodplug libsdl2 zlib freetype libsdl2-mixer libsdl2-ttf)

target_deps() {
  case $1 in
    libsdl2-mixer) echo libsdl2 libmodplug ;;
    libsdl2-ttf) echo libsdl2 freetype ;;
    freetype) echo zlib ;;
  esac
}

# cmake with Emscripten's toolchain (through ours); the dependencies' folders are searched for
# packages.
target_cmake() {
  local src=$1 prefix=$2; shift 2
  local path
  path=$(IFS=';'; echo "${TARGET_DEP_PREFIXES[*]}")
  cmake -S "$src" -B build -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$TARGET_TOOLCHAIN" -DSTARMOAT_TARGET_LIB_PREFIXES="$path" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build build -j"$jobs"
  cmake --install build
}

# SDL2_mixer and SDL2_ttf: build_libsdl2_mixer and build_libsdl2_ttf, shared by the targets.
. "$(dirname "${BASH_SOURCE[0]}")/sdl-addons.sh"

build_zlib() {
  # Its configure script knows emcc; the static library alone.
  cp -a "$1" zsrc
  cd zsrc
  CFLAGS=-O2 emconfigure ./configure --static --prefix="$2"
  emmake make -j"$jobs" libz.a
  emmake make install
}

build_libmodplug() {
  # Its config.sub predates WebAssembly: any cross host will do, the compiler is emcc.
  emconfigure "$1/configure" --host=i686-pc-linux-gnu --prefix="$2" \
    --disable-shared --enable-static --disable-dependency-tracking CFLAGS=-O2 CXXFLAGS=-O2
  emmake make -j"$jobs"
  emmake make install
}

build_libsdl2() {
  # Video, events, audio and timers are what the browser back-end brings; the rest is off.
  # The configure checks' answers are preset for the emcc they were taken with (a minute or so
  # of configure instead of ten); another emcc checks them all again.
  local presets=()
  if [ "$(emcc -dumpversion)" = 3.1.6 ]; then
    presets=(-C "$TARGET_SDL2_CHECKS")
  fi
  target_cmake "$1" "$2" "${presets[@]}" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DSDL_TESTS=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF
}

build_freetype() {
  # No colour fonts, no shaping. Its gzip module takes the zlib above: without one it builds
  # its own copy, whose symbols clash with zlib's in the one WebAssembly module.
  target_cmake "$1" "$2" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    -DFT_DISABLE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_REQUIRE_ZLIB=ON
}
