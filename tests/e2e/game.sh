#!/usr/bin/env bash
# A game in the real window (Xvfb): "New game" on the main menu shows the stage intro
# "Level 1-1", the ship then flies and fires under the keys, and Esc with "Yes" ends the game
# and brings the main menu back.
# Usage: game.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: game.sh <game dir>}" && pwd)
. "$(dirname "$0")/lib/program.bash"

# Keys and clicks go through the X test extension to the focused window, as a keyboard's would.
xdotool windowfocus "$window"
key() { xdotool key "$@"; }

# The intro gives way to the main menu after 85 frames; a click on its first button starts a
# game. A key press then tells the program that the mouse is no longer in use, so that the
# pointer stays where it is.
sleep 3
xdotool mousemove --window "$window" 627 356
sleep 0.3
xdotool click 1
sleep 0.2
key x
sleep 0.8
shot intro
level=$(green_pixels intro 300 295 240 45)
echo "stage intro: $level green pixels in the label area"
[ "$level" -gt 200 ] || fail "no \"Level 1-1\" label on the stage intro (see intro.png)"

# Past the 2 s intro: steer and fire for a few seconds.
sleep 2
xdotool keydown Control_L
for _ in 1 2 3; do
  xdotool keydown Left; sleep 0.7; xdotool keyup Left
  xdotool keydown Right; sleep 0.7; xdotool keyup Right
done
xdotool keyup Control_L
shot play
[ "$(green_pixels play 300 295 240 45)" -lt "$level" ] || fail "the intro label stayed on screen"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended during play: $(cat "$work/game.log")"

# Esc asks "Exit game?"; Left selects "Yes"; Enter ends the game. The quit does not restart
# the game-over delay, so the main menu follows at once.
key Escape
sleep 0.5
shot question
[ "$(green_pixels question 280 340 260 50)" -gt 200 ] || fail "no \"Yes\"/\"No\" question (see question.png)"
key Left
sleep 0.3
key Return
sleep 1
shot menu
[ "$(green_pixels menu 470 340 310 35)" -gt 200 ] || fail "no main menu after the quit (see menu.png)"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(cat "$work/game.log")"
echo "PASS"
