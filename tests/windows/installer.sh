#!/usr/bin/env bash
# The setup program under Wine: /S installs without a question into Program Files with a
# Start-menu entry; the installed game, started in its own folder as the shortcut starts it,
# shows its main menu, goes to full screen and back with Alt+Enter, and on leaving writes its
# settings to %APPDATA%\Starmoat, never into Program Files; Uninstall.exe /S then removes every
# program file and the Start-menu entry, and leaves the settings.
# Usage: installer.sh PACKAGES_DIR
set -u
packages=$(cd "${1:?usage: installer.sh PACKAGES_DIR}" && pwd)
. "$(dirname "$0")/lib/test_run.bash"

setup=$(ls "$packages"/starmoat-*-windows-x64-setup.exe 2>/dev/null | head -n1)
[ -n "$setup" ] || fail "no starmoat-*-windows-x64-setup.exe in $packages (tools/windows/package.sh makes it)"

windows_folder() { wine cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
program_files=$(wine_path "$(windows_folder '%ProgramW6432%')\\Starmoat")
app_data=$(wine_path "$(windows_folder '%APPDATA%')\\Starmoat")
start_menu=$(wine_path "$(windows_folder '%ProgramData%')\\Microsoft\\Windows\\Start Menu\\Programs\\Starmoat")
[ -n "$program_files" ] && [ -n "$app_data" ] || fail "Wine names no Program Files or AppData folder"
rm -rf "$app_data"

timeout 300 wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the setup program failed: $(cat "$work/setup.log")"
for file in starmoat.exe SDL2.dll Data/Data.pp sound/1.xm fonts/Play-Bold.ttf README.txt \
            licences/starmoat.txt installed.txt Uninstall.exe; do
  [ -f "$program_files/$file" ] || fail "the setup program installed no $file in $program_files"
done
[ -f "$start_menu/Starmoat.lnk" ] || fail "no Start-menu entry $start_menu/Starmoat.lnk"
echo "installed into $program_files"

# Started as the shortcut starts it: in its own folder.
(cd "$program_files" && SDL_AUDIODRIVER=dummy exec wine starmoat.exe) >"$work/game.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/game.log"
wait_steady installed-menu 60

# Alt+Enter: full screen (the screen's 1024 x 768 with the picture letterboxed), and back.
press alt+Return
deadline=$((SECONDS + 20))
until [ "$(client_size)" = 1024x768 ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "Alt+Enter did not make the window full screen: $(client_size)"
  sleep 0.3
done
sleep 1
import -window root "$work/installed-full-screen.png" 2>/dev/null
not_black "$work/installed-full-screen.png" || fail "the full-screen picture is black"
press alt+Return
deadline=$((SECONDS + 20))
until [ "$(client_size)" = 800x600 ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "Alt+Enter did not bring the window back: $(client_size)"
  sleep 0.3
done
wait_steady installed-menu-windowed 30
press Escape
wait_steady installed-exit-question 30
press Return
wait_exit 30

[ -f "$app_data/Config.cfg" ] || fail "the installed game wrote no $app_data/Config.cfg"
[ ! -e "$program_files/Config.cfg" ] || fail "the installed game wrote Config.cfg into Program Files"
echo "settings in $app_data"

timeout 120 wine "$program_files/Uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
  fail "the uninstaller failed: $(cat "$work/uninstall.log")"
# The uninstaller runs on from a copy of itself in the temporary folder: wait for its work.
deadline=$((SECONDS + 60))
while [ -e "$program_files" ]; do
  [ "$SECONDS" -lt "$deadline" ] ||
    fail "the program files are still there 60 s after Uninstall.exe /S: $(cd "$program_files" && find . | head)"
  sleep 0.5
done
[ ! -e "$start_menu" ] || fail "the Start-menu entry is still there after uninstalling"
[ -f "$app_data/Config.cfg" ] || fail "uninstalling removed the player's settings"
echo "PASS"
