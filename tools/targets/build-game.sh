#!/usr/bin/env bash
# Builds the game and its tests for another platform:
#
#   tools/targets/build-game.sh TARGET [BUILD_DIR] [cmake options...]
#   tools/targets/build-game.sh emscripten     the browser game, in build-emscripten/web
#   tools/targets/build-game.sh windows-x64    the Windows game and its tests
#
# First the target's libraries (tools/targets/build-libs.sh, cached), then the asset generator
# of the native build in build/ (it always runs on this machine), then the cross build in
# BUILD_DIR (default build-TARGET) with cmake/toolchains/TARGET.cmake.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:?usage: build-game.sh TARGET [BUILD_DIR] [cmake options...]}
dir=${2:-$root/build-$target}
shift $(($# >= 2 ? 2 : 1))
jobs=${STARMOAT_JOBS:-$(nproc)}

# emcc is a Python program, run by the python3 first on PATH: a shim there (pyenv) costs about
# a second a call, so the browser build takes the system Python Debian's emscripten is made for.
if [ "$target" = emscripten ] && [ -z "${EMSDK_PYTHON:-}" ] && [ -x /usr/bin/python3 ]; then
  export EMSDK_PYTHON=/usr/bin/python3
fi

# Its last line names the libraries' file for this checkout's recipe.
# Shown on our own stderr rather than through tee to /dev/stderr, which would reopen (and so
# truncate) a log file that stderr is redirected to.
built=$("$root/tools/targets/build-libs.sh" "$target")
echo "$built" >&2
libs=$(tail -n1 <<<"$built")
[ -f "$libs" ] || { echo "build-game.sh: build-libs.sh gave no libraries' file" >&2; exit 1; }

if [ ! -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$root/build" -j"$jobs" --target starmoat_packgen

# A build folder configured with other libraries' folders (an older recipe's, another cache's)
# keeps their locations in its cache (SDL2_DIR, ...) and would go on linking them: a folder not
# configured with these very libraries is configured afresh. The stamp names the libraries'
# file it was last configured with (a folder from before the stamp: the one in its cache).
stamp=$dir/starmoat-target-libs.txt
fresh=()
if [ -f "$stamp" ]; then
  configured=$(cat "$stamp")
elif [ -f "$dir/CMakeCache.txt" ]; then
  configured=$(sed -n 's/^STARMOAT_TARGET_LIBS_FILE:[A-Z]*=//p' "$dir/CMakeCache.txt")
fi
if [ -f "$dir/CMakeCache.txt" ] && [ "$configured" != "$libs" ]; then
  echo "build-game.sh: configuring $dir afresh for the libraries in $libs" >&2
  fresh=(--fresh)
fi
cmake "${fresh[@]}" -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$target.cmake" \
  -DSTARMOAT_TARGET_LIBS_FILE="$libs" \
  -DSTARMOAT_HOST_PACKGEN="$root/build/tools/packgen/starmoat_packgen" "$@" >/dev/null
echo "$libs" >"$stamp"
cmake --build "$dir" -j"$jobs"
