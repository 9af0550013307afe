#!/usr/bin/env bash
# The portable zip under Wine. Unpacked into a fresh folder and started from another working
# folder, starmoat.exe opens an 800 x 600 window; after the intro its main menu matches the
# Linux build's picture (within the fonts' rendering, which the test reports); Down and Enter
# start a game whose picture changes; Esc and Yes end it; Esc and Yes end the program with
# status 0; and it leaves beside itself a Config.cfg byte for byte the one the Linux build
# writes for the same actions.
# Usage: zip_game.sh PACKAGES_DIR LINUX_GAME_DIR
set -u
packages=$(cd "${1:?usage: zip_game.sh PACKAGES_DIR LINUX_GAME_DIR}" && pwd)
linux_game=$(cd "${2:?usage: zip_game.sh PACKAGES_DIR LINUX_GAME_DIR}" && pwd)
. "$(dirname "$0")/lib/test_run.bash"

zip=$(ls "$packages"/starmoat-*-windows-x64.zip 2>/dev/null | head -n1)
[ -n "$zip" ] || fail "no starmoat-*-windows-x64.zip in $packages (tools/windows/package.sh makes it)"

# The Linux build, the same actions, in a copy of its game folder.
mkdir "$work/linux"
cp -r "$linux_game/starmoat" "$linux_game/Data" "$linux_game/sound" "$work/linux/"
(cd "$work" && SDL_AUDIODRIVER=dummy exec "$work/linux/starmoat") >"$work/game.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/game.log"
start=$SECONDS
play_session linux
echo "Linux build: the session took $((SECONDS - start)) s"
[ -f "$work/linux/Config.cfg" ] || fail "the Linux build wrote no Config.cfg"

# The zip, unpacked into a fresh folder; started from the scratch folder, which holds no data.
mkdir "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
exe=$(ls "$work"/unzipped/*/starmoat.exe)
game_folder=$(dirname "$exe")
(cd "$work" && SDL_AUDIODRIVER=dummy exec wine "$exe") >"$work/game.log" 2>&1 &
game_pid=$!
start=$SECONDS
find_window "$game_pid" "$work/game.log"
echo "Windows build: window after $((SECONDS - start)) s"
[ "$(client_size)" = 800x600 ] || fail "the window is $(client_size), not 800x600"
play_session windows
echo "Windows build: the session took $((SECONDS - start)) s"

# The main menu after the intro: the same pack, the same drawing code, the same FreeType and
# SDL_ttf sources; the Linux SDL_ttf shapes text with HarfBuzz, which this build leaves out.
differing=$(pixels_differing "$work/linux-menu.png" "$work/windows-menu.png")
error=$(rmse "$work/linux-menu.png" "$work/windows-menu.png")
echo "main menu, Linux against Windows: $differing of 480000 pixels differ, RMSE $error"
compare "$work/linux-menu.png" "$work/windows-menu.png" "$work/menu-difference.png" 2>/dev/null || true
[ "$differing" -le "${STARMOAT_MENU_PIXELS_ALLOWED:-2000}" ] ||
  fail "the main menu differs from the Linux build's in $differing pixels (see menu-difference.png)"

[ -f "$game_folder/Config.cfg" ] || fail "no Config.cfg beside starmoat.exe"
cmp "$work/linux/Config.cfg" "$game_folder/Config.cfg" ||
  fail "Config.cfg differs from the Linux build's: $(xxd "$game_folder/Config.cfg" | head -n 5)"
[ ! -e "$work/Config.cfg" ] || fail "a Config.cfg appeared in the working folder"
echo "PASS"
