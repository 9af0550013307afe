# Windows x64 through MinGW-w64 (Debian's g++-mingw-w64-x86-64): sourced by build-libs.sh.
# Every library is a DLL beside the game; what Windows itself has (WinMM, DirectSound, Schannel)
# is used in place of the Linux back-ends. Optional extras nothing of ours needs stay off.

TARGET_TRIPLE=x86_64-w64-mingw32
TARGET_TOOLCHAIN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/cmake/toolchains/windows-x64.cmake

# Dependencies first. SDL2_mixer plays XM through libmodplug, as Debian's Linux build does.
TARGET_LIBS=(libmodplug libsdl2 libsdl2-mixer freetype libsdl2-ttf curl)

target_deps() {
  case $1 in
    libsdl2-mixer) echo libsdl2 libmodplug ;;
    libsdl2-ttf) echo libsdl2 freetype ;;
  esac
}

# cmake with the target's toolchain; the dependencies' folders are searched for packages.
target_cmake() {
  local src=$1 prefix=$2; shift 2
  local deps=() d
  for d in "${TARGET_DEP_PREFIXES[@]}"; do deps+=("$d"); done
  local path
  path=$(IFS=';'; echo "${deps[*]}")
  cmake -S "$src" -B build -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$TARGET_TOOLCHAIN" -DSTARMOAT_TARGET_LIB_PREFIXES="$path" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON "$@"
  cmake --build build -j"$jobs"
  cmake --install build
}

target_build() {
  local pkg=$1 src=$2 prefix=$3; shift 3
  TARGET_DEP_PREFIXES=("$@")
  case $pkg in
    libmodplug)
      # Autotools only; a DLL with a C interface.
      "$src/configure" --host="$TARGET_TRIPLE" --prefix="$prefix" --enable-shared --disable-static \
        CC="$TARGET_TRIPLE-gcc-posix" CXX="$TARGET_TRIPLE-g++-posix" CFLAGS=-O2 CXXFLAGS=-O2
      make -j"$jobs"
      make install ;;
    libsdl2)
      target_cmake "$src" "$prefix" -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL_STATIC=OFF ;;
    libsdl2-mixer)
      # WAV and XM are all the game plays: the module decoder is libmodplug, linked directly.
      target_cmake "$src" "$prefix" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
        -DSDL2MIXER_DEPS_SHARED=OFF \
        -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=ON -DSDL2MIXER_MOD_XMP=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_MP3=OFF \
        -DSDL2MIXER_OGG=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_WAVE=ON ;;
    freetype)
      # TrueType outlines only; no compressed or colour fonts, no shaping.
      target_cmake "$src" "$prefix" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_ZLIB=ON ;;
    libsdl2-ttf)
      target_cmake "$src" "$prefix" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF \
        -DSDL2TTF_SAMPLES=OFF ;;
    curl)
      # HTTP (and HTTPS through Windows' own TLS, Schannel) and nothing else.
      target_cmake "$src" "$prefix" -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
        -DHTTP_ONLY=ON -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF \
        -DUSE_LIBIDN2=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_DISABLE_LDAP=ON \
        -DENABLE_MANUAL=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DCURL_CA_PATH=none \
        -DCURL_CA_BUNDLE=none ;;
    *) echo "windows-x64: no recipe for $pkg" >&2; return 1 ;;
  esac
}
