#!/usr/bin/env bash
# A game in the real window (Xvfb) played with a game pad only, no keyboard and no mouse: a pad
# plugged in while the program runs walks from the main menu into a game (D-pad down, A), the
# ship flies under the stick and fires while A is held, Start pauses and resumes, Back asks
# "Exit game?", and Left + A answer Yes and bring the main menu back. The pad is one of SDL's
# virtual pads inside the program (tests/e2e/virtual_pad_driver.cpp), fed through a FIFO.
# Usage: gamepad.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# STARMOAT_VIRTUAL_PAD names the driver build of the program (ctest sets it).
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: gamepad.sh <game dir>}" && pwd)
program_exe=${STARMOAT_VIRTUAL_PAD:-$game_dir/../tests/starmoat_virtual_pad}
pad_dir=$(mktemp -d)
export STARMOAT_PAD_FIFO=$pad_dir/pad
mkfifo "$STARMOAT_PAD_FIFO"
. "$(dirname "$0")/lib/program.bash"
trap 'exec 5>&-; cleanup; rm -rf "$pad_dir"' EXIT

# A pad, like the keyboard, reaches only the window that has the focus.
xdotool windowfocus "$window"
# Read and write, so that opening does not wait for the program to open its end.
exec 5<>"$STARMOAT_PAD_FIFO"
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

# Plugged in during the intro; the intro runs out by itself and leaves "Exit" highlighted.
sleep 0.5
pad plug
sleep 3
tap dpdown
tap a
sleep 0.5
shot intro
level=$(green_pixels intro 300 295 240 45)
echo "stage intro: $level green pixels in the label area"
[ "$level" -gt 200 ] || fail "no \"Level 1-1\" label on the stage intro (see intro.png)"

# Past the 2 s intro: fire, steer left with the stick, then right.
sleep 2
pad press a
pad axis leftx -32767
sleep 0.8
shot left
pad axis leftx 32767
sleep 1.2
shot right
pad axis leftx 0
pad release a
kill -0 "$game_pid" 2>/dev/null || fail "the program ended during play: $(cat "$work/game.log")"
[ "$(green_pixels right 300 295 240 45)" -lt "$level" ] || fail "the intro label stayed on screen"
# The silver hull sits in the bottom-left corner after the push left, and has left it after
# the push right; the pale blue shots of the basic gun are in the air.
hull_left=$(bright_pixels left 20 500 140 80)
hull_after=$(bright_pixels right 20 500 140 80)
echo "hull in the bottom-left corner: $hull_left pixels, then $hull_after"
[ "$hull_left" -gt 100 ] || fail "the stick did not steer the ship left (see left.png)"
# Each game starts from its own random seed: an enemy or an explosion may pass through the
# corner, or the shots may all have hit an enemy right in front of the ship at the moment of
# one picture. So the hull need only have mostly left the corner, and shots need only be in
# the air in one of the two pictures.
[ "$((hull_after * 3))" -lt "$hull_left" ] || fail "the stick did not steer the ship right (see right.png)"
shots=$(shot_pixels left)
right_shots=$(shot_pixels right)
[ "$right_shots" -gt "$shots" ] && shots=$right_shots
echo "shots in the air: $shots pixels"
[ "$shots" -gt 50 ] || fail "holding A fired nothing (see left.png)"

# Start pauses: the picture stands still.
tap start
shot pause1
sleep 0.5
shot pause2
[ "$(compare -metric AE "$work/pause1.png" "$work/pause2.png" null: 2>&1)" = 0 ] ||
  fail "the game went on while paused (see pause1.png, pause2.png)"
tap start
sleep 0.3
shot resumed
[ "$(compare -metric AE "$work/pause2.png" "$work/resumed.png" null: 2>&1)" != 0 ] ||
  fail "Start did not resume the game"

# Back asks "Exit game?"; Left selects "Yes"; A ends the game.
tap back
shot question
[ "$(green_pixels question 280 340 260 50)" -gt 200 ] || fail "no \"Yes\"/\"No\" question (see question.png)"
tap dpleft
tap a
sleep 1
shot menu
[ "$(green_pixels menu 470 340 310 35)" -gt 200 ] || fail "no main menu after the quit (see menu.png)"
pad unplug
sleep 0.3
kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(cat "$work/game.log")"
grep -q FAILED "$work/game.log" && fail "a pad command failed: $(cat "$work/game.log")"
echo "PASS"
