#!/usr/bin/env bash
# The built program in a real X window (Xvfb): the window "Starmoat" appears with an 800 x 600
# client area, frames are shown in it, and SIGTERM ends the program within 2 s.
# Usage: window.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: window.sh <game dir>}" && pwd)
. "$(dirname "$0")/lib/program.bash"

geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "$width" = 800 ] && [ "$height" = 600 ] || fail "client area is ${width}x${height}, not 800x600"
echo "window $window: client area ${width}x${height}"

# Frames: the window's picture must not stay black once the first screen draws.
drawn=""
for _ in $(seq 20); do
  import -window "$window" "$work/shot.png" 2>/dev/null
  mean=$(convert "$work/shot.png" -format '%[fx:mean]' info: 2>/dev/null)
  if [ -n "$mean" ] && awk "BEGIN {exit !($mean > 0)}"; then
    drawn=yes
    break
  fi
  sleep 0.5
done

# CPU while frames are shown, for information (speed is judged by the benchmarks, not here).
ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
before=$(ticks)
sleep 3
after=$(ticks)
echo "CPU: $(( (after - before) * 100 / ($(getconf CLK_TCK) * 3) ))% of one core over 3 s"

kill -TERM "$game_pid"
ended=""
for _ in $(seq 20); do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    ended=yes
    break
  fi
  sleep 0.1
done
[ -n "$ended" ] || fail "the program was still running 2 s after SIGTERM"
wait "$game_pid" 2>/dev/null
game_pid=""

[ -n "$drawn" ] || fail "every frame stayed black: nothing was drawn on the first screen"
echo "PASS"
