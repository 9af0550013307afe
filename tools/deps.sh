#!/usr/bin/env bash
# The Debian packages Starmoat needs, by what they are needed for. Sourced by ./play, ./serve,
# ./package and ./test, which each install only the lists they name and only what is missing:
#   starmoat_install_deps play server
# Each list is STARMOAT_<NAME>_PACKAGES; starmoat_packages NAME... prints the named lists.

# Building and playing the game: compiler and build tools, the libraries the game links, cairo
# for the picture generator that runs in the build, and the faces the game finds by name.
STARMOAT_PLAY_PACKAGES=(
  cmake g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev
  libfontconfig-dev libcurl4-openssl-dev libcairo2-dev zlib1g-dev
  fonts-dejavu-core fonts-play fonts-urw-base35
)

# The world score server: Boost.Beast and Asio for its HTTP, its two stores and its JSON.
STARMOAT_SERVER_PACKAGES=(
  libboost-dev libsqlite3-dev libpq-dev nlohmann-json3-dev
)

# Making the Debian packages: dpkg-shlibdeps reads their library dependencies.
STARMOAT_PACKAGE_PACKAGES=(
  dpkg-dev file
)

# Tests and benchmarks only: what building them needs (the test and benchmark libraries, an
# HTTP client and test server, a loudness meter for the recorded mix), and the programs the
# tests run (a PostgreSQL to run the store's tests against, a headless browser, a virtual
# screen with its tools, a module player and the packages' checkers). ./test installs the
# second part while the build runs.
STARMOAT_TESTBUILD_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libebur128-dev
)
STARMOAT_TESTRUN_PACKAGES=(
  postgresql chromium
  xvfb xdotool imagemagick xmp x11-utils
  lintian desktop-file-utils appstream
)
STARMOAT_TEST_PACKAGES=("${STARMOAT_TESTBUILD_PACKAGES[@]}" "${STARMOAT_TESTRUN_PACKAGES[@]}")

# Prints the packages of the named lists, one a line.
starmoat_packages() {
  local name var
  for name in "$@"; do
    var="STARMOAT_${name^^}_PACKAGES"
    if ! declare -p "$var" >/dev/null 2>&1; then
      echo "tools/deps.sh: no package list named $name" >&2
      return 1
    fi
    local -n list="$var"
    printf '%s\n' "${list[@]}"
    unset -n list
  done
}

# Installs what is missing of the named lists (as root); as another user, prints the one
# apt-get line they need and exits.
starmoat_install_deps() {
  local wanted missing=()
  local p
  wanted=$(starmoat_packages "$@") || exit 1
  for p in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Starmoat needs these Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # An installation stopped half way (./test interrupted while it installed in the
  # background) leaves dpkg's work unfinished, and apt-get refuses to go on until it is done.
  if [ -n "$(dpkg --audit 2>/dev/null)" ]; then
    dpkg --configure -a || true
  fi
  apt-get update -qq || true
  apt-get install -y -qq "${missing[@]}"
}

# The Windows build, needed by ./test and ./package (not by ./play): the MinGW-w64 cross
# compiler, dpkg-dev for `apt-get source` (tools/targets/build-libs.sh builds the libraries from
# Debian's sources) and Ninja to build them, Wine to run the Windows tests and the game, NSIS
# and zip for the packages.
STARMOAT_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64 dpkg-dev ninja-build wine wine64 nsis zip
)

starmoat_install_windows_deps() {
  starmoat_install_deps windows
}

# The game for the browser, built by ./serve where Emscripten is installed: Emscripten (its
# JavaScript tools run on the system Node) and dpkg-dev for `apt-get source` (the libraries come
# from Debian's sources, as for Windows).
STARMOAT_WEBGAME_PACKAGES=(
  emscripten nodejs dpkg-dev
)

# The browser build and its tests, needed by ./test: the above, npm for the tests' browser
# driver (puppeteer-core, tests/web/package-lock.json) and Chromium to run the page in.
# A Node.js that brings its own npm (NodeSource's, say) needs no Debian npm, whose 387
# packages are the slowest install of all on a fresh machine.
STARMOAT_WEB_PACKAGES=(
  "${STARMOAT_WEBGAME_PACKAGES[@]}" chromium
)
command -v npm >/dev/null 2>&1 || STARMOAT_WEB_PACKAGES+=(npm)
