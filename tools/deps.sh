#!/usr/bin/env bash
# Installs the Debian packages Starmoat needs to build, run and test.
# Sourced by ./play and ./test; installs only what is missing.
STARMOAT_PACKAGES=(
  cmake g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev
  libfontconfig-dev libcurl4-openssl-dev libcairo2-dev zlib1g-dev
  fonts-dejavu-core fonts-play fonts-urw-base35
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libboost-dev
  libebur128-dev
  libsqlite3-dev nlohmann-json3-dev chromium
  libpq-dev postgresql
  xvfb xdotool imagemagick xmp x11-utils
  dpkg-dev file lintian desktop-file-utils appstream
)

starmoat_install_deps() {
  local missing=()
  local p
  for p in "${STARMOAT_PACKAGES[@]}"; do
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
  apt-get update -qq || true
  apt-get install -y -qq "${missing[@]}"
}

# The Windows build, needed by ./test and ./package (not by ./play): the MinGW-w64 cross
# compiler, dpkg-dev for `apt-get source` (tools/targets/build-libs.sh builds the libraries from
# Debian's sources), Wine to run the Windows tests and the game, NSIS and zip for the packages.
STARMOAT_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64 dpkg-dev wine wine64 nsis zip
)

starmoat_install_windows_deps() {
  local STARMOAT_PACKAGES=("${STARMOAT_WINDOWS_PACKAGES[@]}")
  starmoat_install_deps
}
