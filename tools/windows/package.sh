#!/usr/bin/env bash
# tools/windows/package.sh BUILD_DIR OUT_DIR
# From a Windows build (tools/targets/build-game.sh windows-x64): the portable zip
# starmoat-<version>-windows-x64.zip and the setup program starmoat-<version>-windows-x64-setup.exe
# in OUT_DIR. Both hold the folder `cmake --install` lays out (packaging/windows/CMakeLists.txt).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: package.sh BUILD_DIR OUT_DIR}" && pwd)
out=${2:?usage: package.sh BUILD_DIR OUT_DIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package.sh: no version in $build/CMakeCache.txt" >&2; exit 1; }
name=starmoat-$version-windows-x64

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
stage=$scratch/$name
cmake --install "$build" --prefix "$stage" --component game >/dev/null
# Debug symbols are no use to a player and are most of the C++ runtime's size.
find "$stage" \( -iname '*.exe' -o -iname '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
"$root/tools/windows/dll_imports.sh" "$stage" >"$scratch/imports.txt" || {
  cat "$scratch/imports.txt" >&2
  exit 1
}

# The zip: one folder named like the zip, as players expect when they unpack it.
rm -f "$out/$name.zip"
(cd "$scratch" && find "$name" -print | LC_ALL=C sort | zip -q -X -9 "$out/$name.zip" -@)

# The uninstaller's list: every file installed, then the folders from the deepest up.
{
  (cd "$stage" && find . -type f | LC_ALL=C sort) | while read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "$(sed 's|^\./||; s|/|\\|g' <<<"$f")"
  done
  (cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r d; do
    printf 'RMDir "$INSTDIR\\%s"\n' "$(sed 's|^\./||; s|/|\\|g' <<<"$d")"
  done
} >"$scratch/installed.nsh"
makensis -V2 -NOCD \
  -DVERSION="$version" -DSTAGE="$stage" -DFILES="$scratch/installed.nsh" \
  -DOUTFILE="$out/$name-setup.exe" -DICON="$build/assets/icons/starmoat.ico" \
  "$root/packaging/windows/installer.nsi"

echo "$out/$name.zip"
echo "$out/$name-setup.exe"
