#!/usr/bin/env bash
# Builds the libraries the game links for another platform, from Debian's own source packages.
#
#   tools/targets/build-libs.sh TARGET        e.g. windows-x64
#
# The sources come from `apt-get source` (a deb-src entry for the Debian archive this machine
# already uses is added when missing; nothing else is downloaded). Each library is configured by
# tools/targets/TARGET.sh and installed into its own folder of the cache, named after its Debian
# version and a hash of its recipe (its build commands and those of the libraries it links), so
# a second run builds nothing, a new Debian version or a changed recipe builds only what it
# changes, and two checkouts with different recipes never share a folder:
#
#   ${STARMOAT_TARGET_CACHE:-~/.cache/starmoat-targets}/sources/PKG-VERSION/        unpacked source
#   ${STARMOAT_TARGET_CACHE:-~/.cache/starmoat-targets}/TARGET/PKG-VERSION-HASH/    installed library
#
# Libraries that do not link each other build at the same time (see STARMOAT_TARGET_PARALLEL
# below); each build's output goes to a log beside its work folder, shown when it fails.
#
# Last it writes TARGET/libs-HASH.cmake (and a copy, TARGET/libs.cmake), which the target's CMake
# toolchain file reads: the folders of the current libraries, for find_package and pkg-config.
# Its path is the last line the script prints.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: build-libs.sh TARGET (one of: $(cd "$here" && grep -l '^TARGET_LIBS=' -- *.sh | sed 's/\.sh$//' | tr '\n' ' '))}
[ -f "$here/$target.sh" ] || { echo "build-libs.sh: no recipe for target '$target' in $here" >&2; exit 2; }

cache=${STARMOAT_TARGET_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/starmoat-targets}
jobs=${STARMOAT_JOBS:-$(nproc)}
mkdir -p "$cache/sources" "$cache/$target"

# The target's file defines TARGET_LIBS (source package names, dependencies first, in the order
# their builds are to start), target_deps PKG (the libraries PKG links) and, for each library,
# build_PKG SRC PREFIX (with '-' in PKG written '_'), run in an empty work folder with
# TARGET_DEP_PREFIXES holding the dependencies' folders. TARGET_RECIPE_FUNCS and TARGET_RECIPE_FILES name the helpers and files
# every build uses, which are part of each library's key, as is the file TARGET_LIB_FILES[PKG]
# names for PKG alone (an associative array, if defined); so is what target_recipe_tools prints,
# if the target defines it (the version of a compiler whose output must match the game's). A
# target file that instead defines target_build PKG SRC PREFIX DEPS... is keyed by the whole file.
# shellcheck source=/dev/null
. "$here/$target.sh"

# One build of a target's libraries at a time (another checkout may be building the same ones),
# and one unpacking of a source.
exec {target_lock}>"$cache/$target.lock"
flock "$target_lock"

# The text that decides how PKG is built: its own recipe, the shared helpers and files.
recipe_of() {
  local fn="build_${1//-/_}" f
  if declare -F "$fn" >/dev/null; then
    declare -f "$fn"
    for f in "${TARGET_RECIPE_FUNCS[@]}"; do declare -f "$f"; done
    for f in "${TARGET_RECIPE_FILES[@]}"; do cat "$f"; done
    if declare -p TARGET_LIB_FILES >/dev/null 2>&1 && [ -n "${TARGET_LIB_FILES[$1]:-}" ]; then
      cat "${TARGET_LIB_FILES[$1]}" 2>/dev/null || true
    fi
    if declare -F target_recipe_tools >/dev/null; then target_recipe_tools; fi
  else
    cat "$here/$target.sh"
  fi
}

build_one() {
  local pkg=$1 src=$2 prefix=$3; shift 3
  TARGET_DEP_PREFIXES=("$@")
  local fn="build_${pkg//-/_}"
  if declare -F "$fn" >/dev/null; then
    "$fn" "$src" "$prefix"
  else
    target_build "$pkg" "$src" "$prefix" "$@"
  fi
}

# Source packages need a deb-src entry; add one for each Debian archive the machine takes
# binaries from (same address, suites and key), then read the new indices.
ensure_deb_src() {
  # (Not piped into grep -q: its early exit would fail apt-cache, and so the test, on SIGPIPE.)
  local known
  known=$(apt-cache showsrc --only-source "${TARGET_LIBS[0]}" 2>/dev/null || true)
  if grep -q '^Version:' <<<"$known"; then
    return 0
  fi
  local list=/etc/apt/sources.list.d/starmoat-deb-src.sources
  if [ "$(id -u)" -ne 0 ]; then
    echo "build-libs.sh: apt has no source packages. As root, add deb-src entries for the Debian" >&2
    echo "archive (e.g. run this script once as root), then run 'apt-get update'." >&2
    exit 1
  fi
  {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$list" ] || continue
      # deb822 stanzas: keep those of a Debian archive, with deb-src in place of deb.
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           /URIs:[^\n]*\/debian/ && /Types:[^\n]*deb/ {
             sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
    done
    if [ -f /etc/apt/sources.list ]; then
      # One-line entries: "deb [options] URI suite components".
      sed -n 's/^[[:space:]]*deb[[:space:]]\+\(.*\/debian.*\)$/\1/p' /etc/apt/sources.list |
        while read -r rest; do
          opts=""
          if [[ $rest == \[* ]]; then opts=${rest%%]*}; opts=${opts#[}; rest=${rest#*] }; fi
          read -r uri suite comps <<<"$rest"
          printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n' "$uri" "$suite" "$comps"
          [[ $opts == *signed-by=* ]] && printf 'Signed-By: %s\n' "$(sed 's/.*signed-by=\([^ ]*\).*/\1/' <<<"$opts")"
          echo
        done
    fi
  } >"$list.new"
  if ! grep -q 'deb-src' "$list.new"; then
    rm -f "$list.new"
    echo "build-libs.sh: found no Debian archive in apt's sources to take source packages from" >&2
    exit 1
  fi
  mv "$list.new" "$list"
  echo "build-libs.sh: added $list; reading the source indices"
  apt-get update -qq
}

# Unpacks PKG's source (with Debian's patches applied) into the cache, newest version first, and
# prints that version. A version the archive lists but does not serve (a mirror without the
# security updates' sources answers 404) is marked as such and the next older one is taken,
# with a warning; an already unpacked version costs no download.
fetch_source() {
  local pkg=$1 version dir listing
  listing=$(apt-cache showsrc --only-source "$pkg")
  exec {source_lock}>"$cache/sources/.lock"
  flock "$source_lock"
  for version in $(sed -n 's/^Version: //p' <<<"$listing" | sort -Vru); do
    dir="$cache/sources/$pkg-${version//:/_}"
    [ -f "$dir/.unpacked" ] && { echo "$version"; return 0; }
    [ -f "$dir.unavailable" ] && continue
    rm -rf "$dir" "$dir.tmp"
    mkdir -p "$dir.tmp"
    if (cd "$dir.tmp" && apt-get source -qq "$pkg=$version" >&2); then
      local tree
      tree=$(find "$dir.tmp" -mindepth 1 -maxdepth 1 -type d | head -n1)
      [ -n "$tree" ] || { echo "build-libs.sh: apt-get source $pkg unpacked nothing" >&2; exit 1; }
      mv "$tree" "$dir"
      rm -rf "$dir.tmp"
      touch "$dir/.unpacked"
      echo "$version"
      return 0
    fi
    rm -rf "$dir.tmp"
    touch "$dir.unavailable"
    echo "build-libs.sh: WARNING: the archive does not serve $pkg $version; trying an older version" >&2
  done
  echo "build-libs.sh: no source of '$pkg' could be fetched from apt's archives" >&2
  exit 1
}

# One library's build, run in the background in an empty work folder, its output in LOG. The
# folder counts as installed only once .built is in it, written last: a build that fails or is
# killed half way leaves a folder without it, which the next run clears and builds again.
build_in_background() {
  local pkg=$1 src=$2 prefix=$3 work=$4; shift 4
  set -e
  cd "$work"
  build_one "$pkg" "$src" "$prefix" "$@"
  # Debian's copyright file of the source: the licence of what a package of the game ships.
  mkdir -p "$prefix/share/licences"
  cp "$src/debian/copyright" "$prefix/share/licences/$pkg.copyright"
  touch "$prefix/.built"
}

# Libraries that do not need each other build at the same time, at most STARMOAT_TARGET_PARALLEL
# at once (default: as many as STARMOAT_JOBS): most of a library's time is its configure, one
# compile after another, which leaves the other cores idle. Each build runs in a process group
# of its own, so that an interrupted run stops them all.
parallel=${STARMOAT_TARGET_PARALLEL:-$jobs}
[ "$parallel" -ge 1 ] 2>/dev/null || { echo "build-libs.sh: STARMOAT_TARGET_PARALLEL must be a number >= 1" >&2; exit 2; }
declare -A built=()   # PKG -> its folder in the cache
declare -A state=()   # PKG -> waiting, running, built or failed
declare -A src_of=() version_of=() work_of=() started_at=()
declare -A running=() # background pid -> PKG
all=()
failed=()

stop_builds() {
  local pid
  for pid in "${!running[@]}"; do kill -TERM -- "-$pid" 2>/dev/null || true; done
  for pid in "${!running[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap 'stop_builds; exit 130' INT
trap 'stop_builds; exit 143' TERM
# (Also when a source cannot be fetched and the script ends on its error.)
trap stop_builds EXIT

# A waiting library whose dependencies are installed starts, in TARGET_LIBS' order.
start_ready() {
  local pkg d ready
  for pkg in "${TARGET_LIBS[@]}"; do
    [ "${#running[@]}" -lt "$parallel" ] || return 0
    [ "${state[$pkg]:-}" = waiting ] || continue
    ready=1
    for d in $(target_deps "$pkg"); do
      case ${state[$d]:-} in
        built) ;;
        failed) state[$pkg]=failed; failed+=("$pkg (needs $d)"); ready=0; break ;;
        *) ready=0 ;;
      esac
    done
    [ "$ready" = 1 ] || continue
    local deps=()
    for d in $(target_deps "$pkg"); do deps+=("${built[$d]}"); done
    echo "build-libs.sh: $target $pkg ${version_of[$pkg]}: building"
    rm -rf "${built[$pkg]}"
    local work
    work=$(mktemp -d "$cache/$target/build-$pkg.XXXXXX")
    work_of[$pkg]=$work
    started_at[$pkg]=$SECONDS
    set -m
    build_in_background "$pkg" "${src_of[$pkg]}" "${built[$pkg]}" "$work" "${deps[@]}" >"$work.log" 2>&1 &
    set +m
    running[$!]=$pkg
    state[$pkg]=running
  done
}

# Waits for one build to end and records how it went.
reap_one() {
  local pid status=0 pkg
  wait -n -p pid || status=$?
  pkg=${running[$pid]:?}
  unset "running[$pid]"
  if [ "$status" -eq 0 ]; then
    state[$pkg]=built
    # STARMOAT_TARGET_KEEP_WORK=1 keeps the work folders (e.g. for check-presets.sh).
    [ -n "${STARMOAT_TARGET_KEEP_WORK:-}" ] || rm -rf "${work_of[$pkg]}" "${work_of[$pkg]}.log"
    echo "build-libs.sh: $target $pkg ${version_of[$pkg]}: built in $((SECONDS - started_at[$pkg])) s"
  else
    state[$pkg]=failed
    failed+=("$pkg")
    echo "build-libs.sh: $target $pkg failed (status $status); the last lines of ${work_of[$pkg]}.log:" >&2
    tail -n 40 "${work_of[$pkg]}.log" >&2
  fi
}

ensure_deb_src
# STARMOAT_TARGET_ONLY="pkg ...": build just those (they must not need the others), e.g. to
# work on one library's recipe; libs.cmake is then left as it is.
only=${STARMOAT_TARGET_ONLY:-}
# The sources are fetched one after another while the libraries already fetched build.
for pkg in "${TARGET_LIBS[@]}"; do
  version=$(fetch_source "$pkg")
  src="$cache/sources/$pkg-${version//:/_}"
  src_of[$pkg]=$src
  version_of[$pkg]=$version
  # Dependencies' folders, as the recipe says; their names carry their own keys, so a change in
  # a dependency builds what links it again.
  deps=()
  for d in $(target_deps "$pkg"); do deps+=("${built[$d]}"); done
  hash=$( { recipe_of "$pkg"; printf '%s\n' "${deps[@]}"; } | sha256sum | cut -c1-12)
  prefix="$cache/$target/$pkg-${version//:/_}-$hash"
  built[$pkg]=$prefix
  if [ -n "$only" ] && [[ " $only " != *" $pkg "* ]]; then
    state[$pkg]=built
    continue
  fi
  all+=("$prefix")
  if [ -f "$prefix/.built" ]; then
    echo "build-libs.sh: $target $pkg $version: cached"
    state[$pkg]=built
    # (A folder from before the licences were kept has none.)
    if [ ! -f "$prefix/share/licences/$pkg.copyright" ]; then
      mkdir -p "$prefix/share/licences"
      cp "$src/debian/copyright" "$prefix/share/licences/$pkg.copyright"
    fi
  elif [ "${#failed[@]}" -gt 0 ]; then
    state[$pkg]=failed
    failed+=("$pkg (not started)")
  else
    state[$pkg]=waiting
  fi
  start_ready
done
while [ "${#running[@]}" -gt 0 ]; do
  reap_one
  [ "${#failed[@]}" -gt 0 ] || start_ready
done
for pkg in "${TARGET_LIBS[@]}"; do
  if [ "${state[$pkg]}" = waiting ]; then
    failed+=("$pkg (not started)")
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "build-libs.sh: $target: not built: ${failed[*]}" >&2
  exit 1
fi

[ -z "$only" ] || exit 0
all_hash=$(printf '%s\n' "${all[@]}" | sha256sum | cut -c1-12)
libs="$cache/$target/libs-$all_hash.cmake"
{
  echo "# Written by tools/targets/build-libs.sh $target: the current library folders."
  echo "set(STARMOAT_TARGET_LIB_PREFIXES"
  printf '  "%s"\n' "${all[@]}"
  echo ")"
} >"$libs.new"
mv "$libs.new" "$libs"
cp "$libs" "$cache/$target/libs.cmake.new"
mv "$cache/$target/libs.cmake.new" "$cache/$target/libs.cmake"
echo "$libs"
