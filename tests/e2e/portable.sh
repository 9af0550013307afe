#!/usr/bin/env bash
# A portable game folder started from somewhere else: a copy of the built game folder (the
# executable, Data/Data.pp, sound/) is started from an empty working folder under Xvfb, shows
# frames, is left through "Exit" and "Yes", and has written Config.cfg beside the executable,
# nothing in the working folder. Then the executable alone, with no data anywhere, must end at
# once with one message naming every place it looked in.
#
# Usage: portable.sh <game dir>   (KEEP_SHOTS=<folder> keeps the screenshots)
# The copy keeps the test away from the build's own Config.cfg, which ./play uses.
set -u

game_dir=$(cd "${1:?usage: portable.sh <game dir>}" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh lists it)"
done
if [ ! -f "$game_dir/Data/Data.pp" ]; then
  echo "SKIP: no sprite pack $game_dir/Data/Data.pp yet"
  exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "${KEEP_SHOTS:-}" ] && cp "$work"/*.png "$KEEP_SHOTS"/ 2>/dev/null
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/lib/session.bash"

mkdir -p "$work/game" "$work/elsewhere" "$work/lone"
cp -r "$game_dir/starmoat" "$game_dir/Data" "$work/game/"
[ -d "$game_dir/sound" ] && cp -r "$game_dir/sound" "$work/game/"

start_xvfb
(cd "$work/elsewhere" && SDL_AUDIODRIVER=dummy exec "$work/game/starmoat") >"$work/game.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/game.log"
wait_frames first-frames
quit_through_exit "$game_pid"
game_pid=""

cfg=$work/game/Config.cfg
[ -f "$cfg" ] || fail "no Config.cfg beside the executable; game folder: $(ls "$work/game")"
size=$(stat -c %s "$cfg")
[ "$size" -eq 145 ] || fail "Config.cfg has $size bytes, expected 145"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the working folder was written to: $(ls -A "$work/elsewhere")"
echo "portable folder: Config.cfg beside the executable, working folder untouched"

# No data anywhere: one message, every place named, status 1, before any window opens.
cp "$game_dir/starmoat" "$work/lone/"
status=0
(cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY "$work/lone/starmoat") \
  >"$work/lone.out" 2>"$work/lone.err" || status=$?
[ "$status" -eq 1 ] || fail "without data the program ended with status $status, expected 1"
for place in "$work/elsewhere/Data/Data.pp" "$work/lone/Data/Data.pp" \
             "$work/share/games/starmoat/Data/Data.pp"; do
  grep -qF "$place" "$work/lone.err" || fail "the message does not name $place: $(cat "$work/lone.err")"
done
[ "$(grep -c '^Starmoat:' "$work/lone.err")" -eq 1 ] || fail "not one message: $(cat "$work/lone.err")"
echo "no data: $(head -n1 "$work/lone.err")"
echo "PASS"
