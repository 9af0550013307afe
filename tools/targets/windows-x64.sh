# Windows x64 through MinGW-w64 (Debian's g++-mingw-w64-x86-64): sourced by build-libs.sh.
# Every library is a DLL beside the game; what Windows itself has (WinMM, DirectSound, GDI,
# Schannel) is used in place of the Linux back-ends. Each library is built with only what the
# game uses: no tests, examples, documentation or tools, and no optional codecs or protocols.
# A library's cache key is its build_* function below plus target_cmake and the toolchain file,
# so changing one library's options rebuilds that library and what links it, nothing else.

TARGET_TRIPLE=x86_64-w64-mingw32
TARGET_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TARGET_TOOLCHAIN=$(cd "$TARGET_DIR/../.." && pwd)/cmake/toolchains/windows-x64.cmake
TARGET_RECIPE_FUNCS=(target_cmake)
TARGET_RECIPE_FILES=("$TARGET_TOOLCHAIN")

# Through MinGW every configure check is a compile and link of its own, and curl's and SDL2's
# configures run hundreds of them (six and three minutes). Their answers for this compiler are
# preset from these files (tools/targets/check-presets.sh writes them); each is part of its own
# library's key.
declare -A TARGET_LIB_FILES=(
  [curl]=$TARGET_DIR/windows-x64/curl-checks.cmake
  [libsdl2]=$TARGET_DIR/windows-x64/libsdl2-checks.cmake
)

# What decides the checks' answers: the compiler, the Windows headers and libraries it finds,
# and the CMake that runs the checks. A presets file is used only where these are the ones it
# was taken with.
target_checks_taken_with() {
  local v
  v=$(dpkg-query -W -f='${Package} ${Version} ' gcc-mingw-w64-x86-64-posix \
    mingw-w64-x86-64-dev 2>/dev/null) || return 0
  echo "${v}cmake $(cmake --version | sed -n 's/^cmake version //p')"
}

# Dependencies first, and otherwise the longest builds first, since build-libs.sh starts them in
# this order as far as it runs libraries at the same time. SDL2_mixer plays XM through
# libmodplug, as Debian's Linux build does; zlib packs the replays.
TARGET_LIBS=(curl libsdl2 libmodplug zlib freetype libsdl2-mixer libsdl2-ttf)

target_deps() {
  case $1 in
    libsdl2-mixer) echo libsdl2 libmodplug ;;
    libsdl2-ttf) echo libsdl2 freetype ;;
  esac
}

# The cmake -C option that presets PKG's configure checks, if its file was taken with the tools
# here (and STARMOAT_TARGET_PRESETS is not "off", as when check-presets.sh takes them anew).
target_presets() {
  local file=${TARGET_LIB_FILES[$1]:-} tools
  [ "${STARMOAT_TARGET_PRESETS:-}" != off ] && [ -f "$file" ] || return 0
  tools=$(target_checks_taken_with)
  if [ -n "$tools" ] && grep -qxF "# Taken with: $tools" "$file"; then
    echo "-C$file"
  else
    echo "windows-x64.sh: $file was taken with other tools than these ($tools): checking all" >&2
  fi
}

# cmake with the target's toolchain and Ninja; the dependencies' folders are searched for
# packages. Builds and installs only the targets named in TARGET_CMAKE_TARGETS, if set.
target_cmake() {
  local src=$1 prefix=$2; shift 2
  local path
  path=$(IFS=';'; echo "${TARGET_DEP_PREFIXES[*]}")
  cmake -S "$src" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TARGET_TOOLCHAIN" -DSTARMOAT_TARGET_LIB_PREFIXES="$path" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON "$@"
  cmake --build build -j"$jobs"
  cmake --install build
}

# SDL2_mixer and SDL2_ttf: build_libsdl2_mixer and build_libsdl2_ttf, shared by the targets.
. "$(dirname "${BASH_SOURCE[0]}")/sdl-addons.sh"

build_zlib() {
  # A static library linked into the game: Debian's source lacks the DLL's resource file, and
  # zlib's CMake renames a header in its source folder, so it builds from a copy.
  cp -a "$1" src
  cmake -S src -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TARGET_TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_POSITION_INDEPENDENT_CODE=ON
  cmake --build build -j"$jobs" --target zlibstatic
  mkdir -p "$2/lib" "$2/include"
  cp build/libzlibstatic.a "$2/lib/libz.a"
  cp src/zlib.h build/zconf.h "$2/include/"
}

build_libmodplug() {
  # Autotools only; a DLL with a C interface.
  "$1/configure" --host="$TARGET_TRIPLE" --prefix="$2" --enable-shared --disable-static \
    --disable-dependency-tracking \
    CC="$TARGET_TRIPLE-gcc-posix" CXX="$TARGET_TRIPLE-g++-posix" CFLAGS=-O2 CXXFLAGS=-O2
  make -j"$jobs"
  make install
}

build_libsdl2() {
  # Video through a GDI window surface (the game draws into it; no renderer, no OpenGL,
  # Direct3D or Vulkan), audio, events, timers, joysticks and game controllers (XInput,
  # DirectInput, HIDAPI, the virtual joystick the tests use), the dummy video and the disk and
  # dummy audio drivers the tests run on. No sensors, power, locale or tests.
  local presets
  mapfile -t presets < <(target_presets libsdl2)
  target_cmake "$1" "$2" "${presets[@]}" \
    -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL_STATIC=OFF -DSDL_CCACHE=OFF \
    -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_RENDER_D3D=OFF \
    -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_OFFSCREEN=OFF
}

build_freetype() {
  # TrueType and OpenType (CFF) outlines only; no compressed or colour fonts, no shaping.
  target_cmake "$1" "$2" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    -DFT_DISABLE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_ZLIB=ON
}

build_curl() {
  # HTTP (and HTTPS through Windows' own TLS, Schannel) and nothing else: no other protocol,
  # no compression, no curl program, manual or tests. Cookies stay: the game's HTTP client
  # keeps them between its requests.
  local presets
  mapfile -t presets < <(target_presets curl)
  target_cmake "$1" "$2" "${presets[@]}" -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
    -DHTTP_ONLY=ON -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF \
    -DUSE_LIBIDN2=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_DISABLE_LDAP=ON \
    -DENABLE_MANUAL=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DCURL_CA_PATH=none \
    -DCURL_CA_BUNDLE=none -DPICKY_COMPILER=OFF -DCURL_DISABLE_ALTSVC=ON \
    -DCURL_DISABLE_HSTS=ON -DCURL_DISABLE_NTLM=ON
}
