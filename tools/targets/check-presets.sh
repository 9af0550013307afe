#!/usr/bin/env bash
# Turns the results of a CMake project's configure checks into a file of presets for `cmake -C`:
#
#   tools/targets/check-presets.sh BUILD_DIR/CMakeCache.txt > PRESETS.cmake
#   tools/targets/check-presets.sh TARGET PKG...    takes TARGET_LIB_FILES[PKG] anew and proves it
#
# CMake's check modules (check_include_file, check_symbol_exists, check_c_source_compiles,
# check_type_size, ...) skip a check whose result variable is already set, so a configure given
# these presets runs none of them again. Through a cross compiler each check is a whole compile
# and link of its own: through emcc seconds apiece (SDL2's 159 take minutes), through MinGW
# curl's 300 or so take six minutes. A check the file does not name still runs as usual.
#
# The second form is how a target's presets files (windows-x64.sh's TARGET_LIB_FILES) are made:
# it builds the libraries in a scratch cache with every check run (STARMOAT_TARGET_PRESETS=off),
# writes each file from its configure's CMakeCache.txt, headed by the tools it was taken with
# (the recipe uses it only with those), builds them again in a second scratch cache with the new
# presets and compares the two: the headers the configures wrote (curl_config.h, SDL_config.h,
# ...) and every installed file but the DLLs and import libraries, which are compared by what
# they export. It fails, naming the difference, if a preset build differs from a full one.
# STARMOAT_PRESETS_FROM=CACHE takes the full build from CACHE instead, a cache that
# build-libs.sh filled with STARMOAT_TARGET_PRESETS=off STARMOAT_TARGET_KEEP_WORK=1.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# The checks' results: INTERNAL entries under a doc line that names a check ("Have ...",
# "Test ...", check_type_size's "CHECK_TYPE_SIZE: ...", try_compile's "Result of TRY_COMPILE",
# curl's own "Curl test ..."); other INTERNAL entries are CMake's own bookkeeping.
presets_of() {
  awk '
    /^\/\/(Have |Test |CHECK_TYPE_SIZE: |Result of TRY_COMPILE|Result of TRY_RUN|Curl test )/ {
      doc = substr($0, 3); next
    }
    doc != "" && /^[A-Za-z0-9_]+:INTERNAL=/ {
      name = $0; sub(/:INTERNAL=.*/, "", name)
      value = $0; sub(/^[^=]*=/, "", value)
      gsub(/"/, "\\\"", doc)
      gsub(/"/, "\\\"", value)
      printf "set(%s \"%s\" CACHE INTERNAL \"%s\")\n", name, value, doc
    }
    { doc = "" }
  ' "$1" | LC_ALL=C sort
}

if [ $# -eq 1 ]; then
  [ -f "$1" ] || { echo "check-presets.sh: no file $1" >&2; exit 2; }
  presets_of "$1"
  exit 0
fi

target=${1:?usage: check-presets.sh CMakeCache.txt | check-presets.sh TARGET PKG...}
shift
[ $# -ge 1 ] || { echo "usage: check-presets.sh TARGET PKG..." >&2; exit 2; }
# shellcheck source=/dev/null
. "$here/$target.sh"
declare -F target_checks_taken_with >/dev/null ||
  { echo "check-presets.sh: $target.sh keeps no presets (no target_checks_taken_with)" >&2; exit 2; }
tools=$(target_checks_taken_with)
[ -n "$tools" ] || { echo "check-presets.sh: cannot tell which tools take the checks" >&2; exit 1; }
for pkg in "$@"; do
  [ -n "${TARGET_LIB_FILES[$pkg]:-}" ] ||
    { echo "check-presets.sh: $target.sh names no presets file for $pkg" >&2; exit 2; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
full=${STARMOAT_PRESETS_FROM:-$scratch/full}
full=${full%/}
preset=$scratch/preset
# Builds the libraries into scratch cache $1, keeping their work folders (each its build/ with
# CMakeCache.txt); the sources are shared with the usual cache.
build() {
  local cache=$1 log=$1.log
  mkdir -p "$cache"
  ln -s "${STARMOAT_TARGET_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/starmoat-targets}/sources" \
    "$cache/sources" 2>/dev/null || true
  mkdir -p "$cache/sources"
  if ! STARMOAT_TARGET_CACHE=$cache STARMOAT_TARGET_KEEP_WORK=1 STARMOAT_TARGET_ONLY="$*" \
    "$here/build-libs.sh" "$target" >"$log" 2>&1; then
    echo "check-presets.sh: building $* failed:" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}
work_of() { find "$1/$target" -maxdepth 1 -type d -name "build-$2.*" | head -n1; }
prefix_of() { find "$1/$target" -maxdepth 1 -type d -name "$2-[0-9]*" | head -n1; }

if [ -n "${STARMOAT_PRESETS_FROM:-}" ]; then
  echo "check-presets.sh: taking the builds with every check run from $full"
else
  echo "check-presets.sh: building $* with every check run"
  STARMOAT_TARGET_PRESETS=off build "$full" "$@"
fi
for pkg in "$@"; do
  file=${TARGET_LIB_FILES[$pkg]}
  mkdir -p "$(dirname "$file")"
  {
    echo "# The answers of $pkg's configure checks for target $target, as its recipe in"
    echo "# tools/targets/$target.sh configures it. Read with cmake -C, so that the configure"
    echo "# skips these checks; used only with the tools of the next line. Written by"
    echo "# tools/targets/check-presets.sh $target $pkg, which also proves a build with them the"
    echo "# same as one without."
    echo "# Taken with: $tools"
    presets_of "$(work_of "$full" "$pkg")/build/CMakeCache.txt"
  } >"$file"
  echo "check-presets.sh: wrote $file ($(grep -c '^set(' "$file") checks)"
done

echo "check-presets.sh: building $* again with the presets"
build "$preset" "$@"
# The two caches' paths differ, and so do the library's folders (the presets are part of its
# key): files are compared with them named alike.
same() {
  local names="s|$pa|PREFIX|g; s|$pb|PREFIX|g; s|$full/|CACHE/|g; s|$preset/|CACHE/|g"
  cmp -s <(sed "$names" "$1") <(sed "$names" "$2")
}
differ=0
for pkg in "$@"; do
  a=$(work_of "$full" "$pkg")/build b=$(work_of "$preset" "$pkg")/build
  pa=$(prefix_of "$full" "$pkg") pb=$(prefix_of "$preset" "$pkg")
  grep -qiF "loading initial cache file ${TARGET_LIB_FILES[$pkg]}" "$(work_of "$preset" "$pkg").log" ||
    { echo "check-presets.sh: $pkg's second build did not read its presets" >&2; differ=1; }
  headers=0
  while read -r h; do
    headers=$((headers + 1))
    if [ ! -f "$b/$h" ] || ! same "$a/$h" "$b/$h"; then
      echo "check-presets.sh: $pkg: $h differs:" >&2
      diff "$a/$h" "$b/$h" >&2 || true
      differ=1
    fi
  done < <(cd "$a" && find . -name '*.h' -not -path './CMakeFiles/*' | sort)
  files=0
  while read -r f; do
    files=$((files + 1))
    case $f in
      *.dll|*.dll.a|*.a)
        # Linkers stamp a time into a DLL; what it exports is what counts.
        if ! cmp -s <("$TARGET_TRIPLE-nm" -g --defined-only "$pa/$f" 2>/dev/null | sort) \
          <("$TARGET_TRIPLE-nm" -g --defined-only "$pb/$f" 2>/dev/null | sort); then
          echo "check-presets.sh: $pkg: $f exports other symbols" >&2
          differ=1
        fi ;;
      *)
        if [ ! -f "$pb/$f" ] || ! same "$pa/$f" "$pb/$f"; then
          echo "check-presets.sh: $pkg: installed $f differs" >&2
          differ=1
        fi ;;
    esac
  done < <(cd "$pa" && find . -type f | sort)
  if ! cmp -s <(cd "$pa" && find . | sort) <(cd "$pb" && find . | sort); then
    echo "check-presets.sh: $pkg: the installed files are not the same ones" >&2
    differ=1
  fi
  echo "check-presets.sh: $pkg: $headers generated headers and $files installed files compared"
done
if [ "$differ" -ne 0 ]; then
  echo "check-presets.sh: a build with the presets differs from one without (see above)" >&2
  exit 1
fi
echo "check-presets.sh: the builds with and without the presets are the same"
