#!/usr/bin/env bash
# Builds the libraries the game links for another platform, from Debian's own source packages.
#
#   tools/targets/build-libs.sh TARGET        e.g. windows-x64
#
# The sources come from `apt-get source` (a deb-src entry for the Debian archive this machine
# already uses is added when missing; nothing else is downloaded). Each library is configured by
# tools/targets/TARGET.sh and installed into its own folder of the cache, named after its Debian
# version, so a second run builds nothing and a new Debian version builds only what changed:
#
#   ${STARMOAT_TARGET_CACHE:-~/.cache/starmoat-targets}/sources/PKG-VERSION/   unpacked source
#   ${STARMOAT_TARGET_CACHE:-~/.cache/starmoat-targets}/TARGET/PKG-VERSION/    installed library
#
# Last it writes TARGET/libs.cmake, which the target's CMake toolchain file reads: the folders of
# the current versions, for find_package and pkg-config.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: build-libs.sh TARGET (one of: $(cd "$here" && ls -- *.sh | grep -v build-libs | sed 's/\.sh$//' | tr '\n' ' '))}
[ -f "$here/$target.sh" ] || { echo "build-libs.sh: no recipe for target '$target' in $here" >&2; exit 2; }

cache=${STARMOAT_TARGET_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/starmoat-targets}
jobs=${STARMOAT_JOBS:-$(nproc)}
mkdir -p "$cache/sources" "$cache/$target"

# The target's file defines TARGET_LIBS (source package names, dependencies first) and
# target_build PKG SRC PREFIX DEPS..., which configures, builds and installs one library.
# shellcheck source=/dev/null
. "$here/$target.sh"

# Source packages need a deb-src entry; add one for each Debian archive the machine takes
# binaries from (same address, suites and key), then read the new indices.
ensure_deb_src() {
  if apt-cache showsrc --only-source "${TARGET_LIBS[0]}" 2>/dev/null | grep -q '^Version:'; then
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

# PKG's source versions apt knows, newest first.
src_versions() {
  apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -Vru
}

# Unpacks PKG's source (with Debian's patches applied) once; prints its folder. Fails when the
# archive does not hold that version's files (a mirror may carry the index but not the pool).
fetch_source() {
  local pkg=$1 version=$2
  local dir="$cache/sources/$pkg-${version//:/_}"
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir" "$dir.tmp"
    mkdir -p "$dir.tmp"
    (cd "$dir.tmp" && apt-get source -qq "$pkg=$version" >&2) || { rm -rf "$dir.tmp"; return 1; }
    local tree
    tree=$(find "$dir.tmp" -mindepth 1 -maxdepth 1 -type d | head -n1)
    [ -n "$tree" ] || { echo "build-libs.sh: apt-get source $pkg unpacked nothing" >&2; exit 1; }
    mv "$tree" "$dir"
    rm -rf "$dir.tmp"
    touch "$dir/.unpacked"
  fi
  echo "$dir"
}

ensure_deb_src
# The target's recipe (its configure options) is part of each library's key.
recipe_hash=$(sha256sum <"$here/$target.sh" | cut -c1-16)
declare -A built
all=()
# STARMOAT_TARGET_ONLY="pkg ...": build just those (they must not need the others), e.g. to
# work on one library's recipe; libs.cmake is then left as it is.
only=${STARMOAT_TARGET_ONLY:-}
for pkg in "${TARGET_LIBS[@]}"; do
  # The newest version whose source is cached or can be fetched.
  version=""
  for v in $(src_versions "$pkg"); do
    if [ -f "$cache/sources/$pkg-${v//:/_}/.unpacked" ] || fetch_source "$pkg" "$v" >/dev/null; then
      version=$v
      break
    fi
    echo "build-libs.sh: the source of $pkg $v cannot be fetched; trying an older version" >&2
  done
  [ -n "$version" ] || { echo "build-libs.sh: no source of '$pkg' can be fetched from apt" >&2; exit 1; }
  prefix="$cache/$target/$pkg-${version//:/_}"
  if [ -n "$only" ] && [[ " $only " != *" $pkg "* ]]; then
    built[$pkg]=$prefix
    continue
  fi
  # Dependencies' folders, as their own recipes say; a change in them or in this recipe builds
  # the library again.
  deps=()
  for d in $(target_deps "$pkg"); do deps+=("${built[$d]}"); done
  key="recipe $recipe_hash; deps ${deps[*]:-none}"
  if [ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$key" ]; then
    echo "build-libs.sh: $target $pkg $version: cached"
  else
    echo "build-libs.sh: $target $pkg $version: building"
    start=$SECONDS
    src=$(fetch_source "$pkg" "$version")
    rm -rf "$prefix"
    work=$(mktemp -d "$cache/$target/build-$pkg.XXXXXX")
    (cd "$work" && target_build "$pkg" "$src" "$prefix" "${deps[@]}") >"$work.log" 2>&1 || {
      echo "build-libs.sh: $target $pkg failed; the last lines of $work.log:" >&2
      tail -n 40 "$work.log" >&2
      exit 1
    }
    rm -rf "$work" "$work.log"
    echo "$key" >"$prefix/.built"
    echo "build-libs.sh: $target $pkg $version: built in $((SECONDS - start)) s"
  fi
  # Debian's copyright file of the source: the licence of what a package of the game ships.
  if [ ! -f "$prefix/share/licences/$pkg.copyright" ]; then
    mkdir -p "$prefix/share/licences"
    cp "$(fetch_source "$pkg" "$version")/debian/copyright" "$prefix/share/licences/$pkg.copyright"
  fi
  built[$pkg]=$prefix
  all+=("$prefix")
done

[ -z "$only" ] || exit 0
{
  echo "# Written by tools/targets/build-libs.sh $target: the current library folders."
  echo "set(STARMOAT_TARGET_LIB_PREFIXES"
  printf '  "%s"\n' "${all[@]}"
  echo ")"
} >"$cache/$target/libs.cmake.new"
mv "$cache/$target/libs.cmake.new" "$cache/$target/libs.cmake"
echo "$cache/$target/libs.cmake"
