#!/usr/bin/env bash
# A game in the real window (Xvfb): "New game" from the main menu shows the stage intro
# "Level 1-1", the ship then flies and fires under the keys, Esc and "Yes" end the game on
# "Game Over", and two seconds later the main menu is back.
# Usage: game.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: game.sh <game dir>}" && pwd)
. "$(dirname "$0")/lib/program.bash"

key() { xdotool key --window "$window" "$@"; }

# The intro gives way to the main menu after 85 frames; its first button starts a game.
sleep 3
key Return
sleep 1
shot intro
level=$(green_pixels intro 300 295 240 45)
echo "stage intro: $level green pixels in the label area"
[ "$level" -gt 200 ] || fail "no \"Level 1-1\" label on the stage intro (see intro.png)"

# Past the 2 s intro: steer and fire for a few seconds.
sleep 2
xdotool keydown --window "$window" Control_L
for _ in 1 2 3; do
  xdotool keydown --window "$window" Left; sleep 0.7; xdotool keyup --window "$window" Left
  xdotool keydown --window "$window" Right; sleep 0.7; xdotool keyup --window "$window" Right
done
xdotool keyup --window "$window" Control_L
shot play
[ "$(green_pixels play 300 295 240 45)" -lt "$level" ] || fail "the intro label stayed on screen"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended during play: $(cat "$work/game.log")"

# Esc asks "Exit game?"; Left selects "Yes"; Enter ends the game on "Game Over".
key Escape
sleep 0.5
key Left
sleep 0.3
key Return
sleep 0.8
shot over
over=$(green_pixels over 300 295 240 45)
echo "game over: $over green pixels in the label area"
[ "$over" -gt 200 ] || fail "no \"Game Over\" label (see over.png)"

# A score below the table's tenth entry returns to the main menu.
sleep 2.5
shot menu
[ "$(green_pixels menu 300 295 240 45)" -lt "$over" ] || fail "\"Game Over\" stayed after 2 s"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(cat "$work/game.log")"
echo "PASS"
