#!/usr/bin/env bash
# A game in the real window (Xvfb): "New game" on the main menu shows the stage intro
# "Level 1-1", the ship then flies and fires under the keys, and Esc with "Yes" ends the game
# and brings the main menu back.
# Usage: game.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: game.sh <game dir>}" && pwd)
# However many points the few seconds of play make, they enter no table: the quit leads straight
# back to the main menu.
prepare_run() { settings_file "" 1000000000 >"$1/Config.cfg"; }
. "$(dirname "$0")/lib/program.bash"

# Keys and clicks go through the X test extension to the focused window, as a keyboard's would.
xdotool windowfocus "$window"
key() { xdotool key "$@"; }

# The intro gives way to the main menu after 85 frames, with "Exit" highlighted; a click on its
# first button starts a game. A key press then tells the program that the mouse is no longer in
# use, so that the pointer stays where it is.
wait_for start green_at 470 535 310 35 || fail "no main menu after the intro (see start.png)"
xdotool mousemove --window "$window" 627 356
sleep 0.3
xdotool click 1
sleep 0.2
key x
wait_for intro green_at 300 295 240 45 || fail "no \"Level 1-1\" label on the stage intro (see intro.png)"
level=$(green_pixels intro 300 295 240 45)
echo "stage intro: $level green pixels in the label area"

# Past the 2 s intro: steer and fire for a few seconds.
sleep 2
xdotool keydown Control_L
for _ in 1 2 3; do
  xdotool keydown Left; sleep 0.7; xdotool keyup Left
  xdotool keydown Right; sleep 0.7; xdotool keyup Right
done
xdotool keyup Control_L
label_gone() { [ "$(green_pixels "$1" 300 295 240 45)" -lt $((level / 4)) ]; }
wait_for play label_gone || fail "the intro label stayed on screen (see play.png)"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended during play: $(cat "$work/game.log")"

# Esc asks "Exit game?"; Left selects "Yes"; Enter ends the game. The quit does not restart
# the game-over delay, so the main menu follows at once.
key Escape
wait_for question green_at 280 340 260 50 || fail "no \"Yes\"/\"No\" question (see question.png)"
key Left
sleep 0.3
key Return
wait_for menu green_at 470 340 310 35 || fail "no main menu after the quit (see menu.png)"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(cat "$work/game.log")"
echo "PASS"
