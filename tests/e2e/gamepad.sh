#!/usr/bin/env bash
# A game in the real window (Xvfb) played with a game pad only, no keyboard and no mouse: a pad
# plugged in while the program runs walks from the main menu into a game (D-pad down, A), the
# ship flies under the stick and fires while A is held, Start pauses and resumes, Back asks
# "Exit game?", and Left + A answer Yes and bring the main menu back. The pad is one of SDL's
# virtual pads inside the program (tests/e2e/virtual_pad_driver.cpp), fed through a FIFO.
# Usage: gamepad.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# STARMOAT_VIRTUAL_PAD names the driver build of the program (ctest sets it).
# With STARMOAT_PAD_WINE=1 the driver is the Windows build's, in the game folder of the Windows
# game, run under Wine (tests/windows/zip_pad.sh): Windows has no FIFOs, so the commands go
# to a file the driver keeps reading, and the settings file lies beside the executable.
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: gamepad.sh <game dir>}" && pwd)
program_exe=${STARMOAT_VIRTUAL_PAD:-$game_dir/../tests/starmoat_virtual_pad}
pad_dir=$(mktemp -d)
pad_commands=$pad_dir/pad
# However many points the few seconds of play make, they enter no table: the quit leads straight
# back to the main menu.
if [ -n "${STARMOAT_PAD_WINE:-}" ]; then
  program_launcher=wine
  : >"$pad_commands"
  export STARMOAT_PAD_FIFO="Z:${pad_commands//\//\\}"
  prepare_run() {
    settings_file "" 1000000000 >"$game_dir/Config.cfg"
    . "$(dirname "$0")/../windows/lib/wine.bash"
    start_wine
  }
else
  mkfifo "$pad_commands"
  export STARMOAT_PAD_FIFO=$pad_commands
  prepare_run() { settings_file "" 1000000000 >"$1/Config.cfg"; }
fi
. "$(dirname "$0")/lib/program.bash"
trap 'exec 5>&-; cleanup; declare -F stop_wine >/dev/null && stop_wine; rm -rf "$pad_dir"' EXIT

# A pad, like the keyboard, reaches only the window that has the focus.
xdotool windowfocus "$window"
# Read and write, so that opening does not wait for the program to open its end.
exec 5<>"$pad_commands"
pad() { echo "$*" >&5; }
# Light grey to white pixels (the ship's hull) in the rectangle x y w h of picture <name>.
bright_pixels() {
  convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[(),]' 'NR > 1 && $3 > 140 && $4 > 140 && $5 > 140 {n++} END {print n + 0}'
}
# Pale blue pixels (the basic gun's shots) over the play area of picture <name>.
shot_pixels() {
  convert "$work/$1.png" -crop 730x560+0+35 +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[(),]' 'NR > 1 && $5 > 250 && $4 >= 225 && $3 >= 170 && $3 <= 235 {n++} END {print n + 0}'
}
tap() { pad press "$1"; sleep 0.15; pad release "$1"; sleep 0.3; }
# Checks for wait_for (each picture is taken until its check holds, so a busy machine that
# delays the game only makes the test wait longer).
label_gone() { [ "$(green_pixels "$1" 300 295 240 45)" -lt $((level / 4)) ]; }
hull_in_corner() { hull_left=$(bright_pixels "$1" 20 500 140 80); [ "$hull_left" -gt 100 ]; }
hull_left_corner() { hull_after=$(bright_pixels "$1" 20 500 140 80); [ $((hull_after * 3)) -lt "$hull_left" ]; }
shots_flying() { shots=$(shot_pixels "$1"); [ "$shots" -gt 50 ]; }
same_as() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
differs_from() { ! same_as "$1" "$2"; }
# still NAME: two pictures in a row alike (the second is NAME).
still() { shot "$1-before"; sleep 0.3; shot "$1"; same_as "$1-before" "$1"; }

# Plugged in during the intro; the intro runs out by itself and leaves "Exit" highlighted.
sleep 0.5
pad plug
wait_for start green_at 470 535 310 35 || fail "no main menu after the intro (see start.png)"
tap dpdown
tap a
wait_for intro green_at 300 295 240 45 || fail "no \"Level 1-1\" label on the stage intro (see intro.png)"
level=$(green_pixels intro 300 295 240 45)
echo "stage intro: $level green pixels in the label area"

# Past the 2 s intro: fire, steer left with the stick into the bottom-left corner, then right
# out of it. Each game starts from its own random seed, so an enemy or an explosion may pass
# through the corner or swallow the shots for a moment; the checks wait that out.
wait_for play label_gone || fail "the intro label stayed on screen (see play.png)"
pad press a
pad axis leftx -32767
wait_for left hull_in_corner || fail "the stick did not steer the ship left (see left.png)"
wait_for shots shots_flying || fail "holding A fired nothing (see shots.png)"
pad axis leftx 32767
wait_for right hull_left_corner || fail "the stick did not steer the ship right (see right.png)"
pad axis leftx 0
pad release a
echo "hull in the bottom-left corner: $hull_left pixels, then $hull_after; shots in the air: $shots pixels"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended during play: $(cat "$work/game.log")"

# Start pauses: the picture stands still, and moves again after the second Start.
tap start
wait_for pause still || fail "the game went on while paused (see pause-before.png, pause.png)"
tap start
wait_for resumed differs_from pause || fail "Start did not resume the game (see resumed.png)"

# Back asks "Exit game?"; Left selects "Yes"; A ends the game.
tap back
wait_for question green_at 280 340 260 50 || fail "no \"Yes\"/\"No\" question (see question.png)"
tap dpleft
tap a
wait_for menu green_at 470 340 310 35 || fail "no main menu after the quit (see menu.png)"
pad unplug
sleep 0.3
kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(cat "$work/game.log")"
grep -q FAILED "$work/game.log" && fail "a pad command failed: $(cat "$work/game.log")"
echo "PASS"
