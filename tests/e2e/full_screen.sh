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
bars_black() {
  local top bottom
  top=$(convert "$work/$1.png" -crop 1280x32+0+0 +repage -format '%[fx:maxima]' info:)
  bottom=$(convert "$work/$1.png" -crop 1280x32+0+992 +repage -format '%[fx:maxima]' info:)
  [ "$top" = 0 ] && [ "$bottom" = 0 ] || fail "$1: the bars are not black (top $top, bottom $bottom)"
}

# The picture of full-screen shot $1, brought back to 800 x 600, must equal window shot $2
# pixel for pixel. Frame pixel x is enlarged into window columns [1.6 x, 1.6 x + 1.6); sampling
# at 0.6 of each frame pixel (column (x + 0.6) * 1.6) lands inside that stretch for every x,
# where the default middle (0.5) falls on a stretch's first column only by rounding.
same_picture() {
  convert "$work/$1.png" -crop 1280x960+0+32 +repage -define sample:offset=60 -sample 800x600! \
    "$work/$1-sampled.png"
  local differ
  differ=$(compare -metric AE "$work/$1-sampled.png" "$work/$2.png" null: 2>&1)
  [ "$differ" = 0 ] || fail "$1 against $2: $differ pixels differ"
}

wait_frames windowed-start
sleep 4  # the intro ends on its own; the main menu then rests
xdotool windowfocus --sync "$window" 2>/dev/null || true
shot windowed
[ "$(size)" = 800x600 ] || fail "the window is $(size), not 800x600"

key alt+Return
[ "$(size)" = 1280x1024 ] || fail "full screen is $(size), not the 1280x1024 screen"
shot full
bars_black full
same_picture full windowed

key Down  # the highlight moves: a new frame in full screen
shot full-moved
bars_black full-moved
[ "$(compare -metric AE "$work/full.png" "$work/full-moved.png" null: 2>&1)" != 0 ] ||
  fail "the picture did not change after Down"

key alt+Return
[ "$(size)" = 800x600 ] || fail "back in the window, it is $(size), not 800x600"
shot windowed-moved
same_picture full-moved windowed-moved

kill -TERM "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=""
echo "PASS"
