#!/usr/bin/env bash
# Full screen in a real X window (Xvfb, a 1280 x 1024 screen): Alt+Enter covers the screen with
# the picture enlarged to 1280 x 960 between black bars, every frame pixel shown as in the
# window, also after the picture changed in full screen; Alt+Enter again brings the window back.
# Usage: full_screen.sh <game dir>   (exit status 77: skipped, see the messages)
set -u

game_dir=$(cd "${1:?usage: full_screen.sh <game dir>}" && pwd)
screen_size=1280x1024
. "$(dirname "$0")/lib/program.bash"

size() { xwininfo -id "$window" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w "x" h}'; }
key() { xdotool key --window "$window" "$@"; sleep 1; }

# Black bars: the top and bottom 32 rows of a full-screen shot hold no light at all.
bar_light() { convert "$work/$1.png" -crop "1280x32+0+$2" +repage -format '%[fx:maxima]' info:; }
bars_are_black() { [ "$(bar_light "$1" 0)" = 0 ] && [ "$(bar_light "$1" 992)" = 0 ]; }
bars_black() {
  bars_are_black "$1" ||
    fail "$1: the bars are not black (top $(bar_light "$1" 0), bottom $(bar_light "$1" 992))"
}

# The picture of full-screen shot $1, brought back to 800 x 600, must equal window shot $2
# pixel for pixel. Frame pixel x is enlarged into window columns [1.6 x, 1.6 x + 1.6); sampling
# at 0.6 of each frame pixel (column (x + 0.6) * 1.6) lands inside that stretch for every x,
# where the default middle (0.5) falls on a stretch's first column only by rounding.
differing_pixels() {
  convert "$work/$1.png" -crop 1280x960+0+32 +repage -define sample:offset=60 -sample 800x600! \
    "$work/$1-sampled.png"
  compare -metric AE "$work/$1-sampled.png" "$work/$2.png" null: 2>&1
}
same_picture() {
  local differ
  differ=$(differing_pixels "$1" "$2")
  [ "$differ" = 0 ] || fail "$1 against $2: $differ pixels differ"
}
# For wait_for: window shot $1 shows what full-screen shot $2 showed.
window_shows() { [ "$(differing_pixels "$2" "$1")" = 0 ]; }
# For wait_for: full-screen shot $1 has its bars and differs from shot $2.
full_and_changed() {
  bars_are_black "$1" && [ "$(compare -metric AE "$work/$2.png" "$work/$1.png" null: 2>&1)" != 0 ]
}

# The intro moves on every frame and the main menu after it rests: the window's picture is
# taken once two shots half a second apart agree (a busy machine delays the intro's end).
wait_frames windowed-start
xdotool windowfocus --sync "$window" 2>/dev/null || true
shot windowed
still=no
for _ in $(seq 60); do
  sleep 0.5
  cp "$work/windowed.png" "$work/windowed-before.png"
  shot windowed
  if [ "$(compare -metric AE "$work/windowed-before.png" "$work/windowed.png" null: 2>&1)" = 0 ]; then
    still=yes
    break
  fi
done
[ "$still" = yes ] || fail "the window's picture never stood still (no main menu after the intro)"
[ "$(size)" = 800x600 ] || fail "the window is $(size), not 800x600"

# After each key the next frames show its effect; a busy machine may take more than a second
# to draw them, so the shots are taken again until they do (wait_for, at most 10 s).
key alt+Return
[ "$(size)" = 1280x1024 ] || fail "full screen is $(size), not the 1280x1024 screen"
wait_for full bars_are_black || bars_black full
same_picture full windowed

key Down  # the highlight moves: a new frame in full screen
if ! wait_for full-moved full_and_changed full; then
  bars_black full-moved
  fail "the picture did not change after Down"
fi

key alt+Return
[ "$(size)" = 800x600 ] || fail "back in the window, it is $(size), not 800x600"
wait_for windowed-moved window_shows full-moved || same_picture full-moved windowed-moved

kill -TERM "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=""
echo "PASS"
