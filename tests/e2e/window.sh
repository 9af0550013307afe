#!/usr/bin/env bash
# The built program in a real X window (Xvfb): the window "Starmoat" appears with an 800 x 600
# client area, frames are shown in it, and SIGTERM ends the program within 2 s.
# Usage: window.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: window.sh <game dir>}" && pwd)
exe="$game_dir/starmoat"
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$exe" ] || fail "no executable $exe"
for tool in Xvfb xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh lists it)"
done
if [ ! -f "$game_dir/Data/Data.pp" ]; then
  echo "SKIP: no sprite pack $game_dir/Data/Data.pp yet; the program cannot start without it"
  exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the given descriptor.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

# The program works in its current folder (it writes Config.cfg there): a scratch folder that
# sees the game's data.
mkdir "$work/run"
ln -s "$game_dir/Data" "$work/run/Data"
[ -d "$game_dir/sound" ] && ln -s "$game_dir/sound" "$work/run/sound"
(cd "$work/run" && SDL_AUDIODRIVER=dummy exec "$exe") >"$work/game.log" 2>&1 &
game_pid=$!

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Starmoat$' 2>/dev/null | head -n1)
  [ -n "$window" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the program ended early: $(cat "$work/game.log")"
  sleep 0.1
done
[ -n "$window" ] || fail "no window named Starmoat after 10 s"

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

if [ -z "$drawn" ]; then
  echo "SKIP (in part): window, size and SIGTERM are fine, but every frame is black;"
  echo "      nothing draws on the first screen yet."
  exit 77
fi
echo "PASS"
