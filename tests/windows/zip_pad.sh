#!/usr/bin/env bash
# The pad under Wine: the zip's game folder, unpacked afresh, with the Windows build of the
# virtual-pad program beside starmoat.exe (the same game with one of SDL's virtual pads plugged
# in), played with the pad alone exactly as the Linux pad test plays it (tests/e2e/gamepad.sh):
# the menu, a game steered and fired with the stick and A, Start to pause, Back and Yes to quit.
# Usage: zip_pad.sh PACKAGES_DIR VIRTUAL_PAD_EXE
set -u
packages=$(cd "${1:?usage: zip_pad.sh PACKAGES_DIR VIRTUAL_PAD_EXE}" && pwd)
pad_exe=${2:?usage: zip_pad.sh PACKAGES_DIR VIRTUAL_PAD_EXE}
fail() { echo "FAIL: $*" >&2; exit 1; }
zip=$(ls "$packages"/starmoat-*-windows-x64.zip 2>/dev/null | head -n1)
[ -n "$zip" ] || fail "no starmoat-*-windows-x64.zip in $packages (tools/windows/package.sh makes it)"
[ -f "$pad_exe" ] || fail "no virtual-pad program $pad_exe"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
game_folder=$(dirname "$(ls "$unpacked"/*/starmoat.exe)")
cp "$pad_exe" "$game_folder/"
STARMOAT_PAD_WINE=1 STARMOAT_VIRTUAL_PAD="$game_folder/$(basename "$pad_exe")" \
  bash "$(dirname "$0")/../e2e/gamepad.sh" "$game_folder"
