# The browser (WebAssembly) through Debian's emscripten package: sourced by build-libs.sh.
# Every library is static and linked into the one .wasm. Emscripten's "ports" would download
# their own copies, so none is used: zlib comes from Debian's source like the rest. Only what the
# game uses is built: no threads (they would need cross-origin isolation headers), no shared
# libraries, no optional formats.

TARGET_TOOLCHAIN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/cmake/toolchains/emscripten.cmake
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# Dependencies first. SDL2_mixer plays XM through libmodplug, as Debian's Linux build does.
TARGET_LIBS=(zlib libmodplug libsdl2 libsdl2-mixer freetype libsdl2-ttf)

target_deps() {
  case $1 in
    libsdl2-mixer) echo libsdl2 libmodplug ;;
    libsdl2-ttf) echo libsdl2 freetype ;;
    freetype) echo zlib ;;
  esac
}

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

target_build() {
  local pkg=$1 src=$2 prefix=$3; shift 3
  TARGET_DEP_PREFIXES=("$@")
  case $pkg in
    zlib)
      # Its configure script knows emcc; the static library alone.
      cp -a "$src" zsrc
      (cd zsrc && CFLAGS=-O2 emconfigure ./configure --static --prefix="$prefix" &&
        emmake make -j"$jobs" libz.a && emmake make install) ;;
    libmodplug)
      # Its config.sub predates WebAssembly: any cross host will do, the compiler is emcc.
      emconfigure "$src/configure" --host=i686-pc-linux-gnu --prefix="$prefix" \
        --disable-shared --enable-static CFLAGS=-O2 CXXFLAGS=-O2
      emmake make -j"$jobs"
      emmake make install ;;
    libsdl2)
      # Video, events, audio and timers are what the browser back-end brings; the rest is off.
      target_cmake "$src" "$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
        -DSDL_TESTS=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF ;;
    libsdl2-mixer)
      # WAV and XM are all the game plays: the module decoder is libmodplug, linked directly.
      target_cmake "$src" "$prefix" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
        -DSDL2MIXER_DEPS_SHARED=OFF \
        -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=ON -DSDL2MIXER_MOD_XMP=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_MP3=OFF \
        -DSDL2MIXER_OGG=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_WAVE=ON ;;
    freetype)
      # No colour fonts, no shaping. Its gzip module takes the zlib above: without one it
      # builds its own copy, whose symbols clash with zlib's in the one WebAssembly module.
      target_cmake "$src" "$prefix" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_REQUIRE_ZLIB=ON ;;
    libsdl2-ttf)
      target_cmake "$src" "$prefix" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF \
        -DSDL2TTF_SAMPLES=OFF ;;
    *) echo "emscripten: no recipe for $pkg" >&2; return 1 ;;
  esac
}
