#!/usr/bin/env bash
# Replays in the real window (Xvfb): a game played with the keys is recorded as
# replays/last.smr; "starmoat --replay" of it shows the same pictures at the same frames (the
# test build of the program writes every 64th game frame of both runs, compared byte for
# byte), returns to the main menu by itself and saves nothing; a replay of another version and
# a damaged one are refused with one line and exit status 1, before any window opens.
# Usage: replay.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: replay.sh <game dir>}" && pwd)
if [ -z "${STARMOAT_VIRTUAL_PAD:-}" ] || [ ! -x "$STARMOAT_VIRTUAL_PAD" ]; then
  echo "SKIP: the test build of the program (STARMOAT_VIRTUAL_PAD) is missing"
  exit 77
fi
program_exe=$STARMOAT_VIRTUAL_PAD
# A table no short game enters: the quit goes straight to the main menu.
prepare_run() {
  settings_file "" 1000000000 >"$1/Config.cfg"
  mkdir -p "$work/played" "$work/watched"
  export STARMOAT_DUMP_FRAMES="$work/played"
}
. "$(dirname "$0")/lib/program.bash"
run="$work/run"

# Play: past the intro, the first button starts a game (tried again while no game frame has
# been written: a loaded machine may show the menu late); fire and steer for a few seconds
# once the 2 s stage intro is over, then Esc and "Yes" end it. "Game Over" shows for two
# seconds, then the game is saved.
xdotool windowfocus "$window"
# frame_written N [TRIES]: waits (0.2 s a try) for the picture of game frame N.
frame_written() {
  for _ in $(seq "${2:-100}"); do
    [ -f "$work/played/frame-$1.ppm" ] && return 0
    sleep 0.2
  done
  return 1
}
for attempt in 1 2 3; do
  sleep 3
  xdotool mousemove --window "$window" 627 356
  sleep 0.3
  xdotool click 1
  sleep 0.2
  xdotool key x
  frame_written 64 50 && break
  [ "$attempt" -eq 3 ] && fail "no game started from the main menu: $(cat "$work/game.log")"
done
frame_written 192 || fail "the game stopped before its third second: $(cat "$work/game.log")"
xdotool keydown Control_L
for _ in 1 2; do
  xdotool keydown Left; sleep 0.6; xdotool keyup Left
  xdotool keydown Up Right; sleep 0.6; xdotool keyup Up Right
done
xdotool keyup Control_L
shot playing
xdotool key Escape
wait_for question green_at 280 340 260 50 || fail "no \"Yes\"/\"No\" question (see question.png)"
xdotool key Left
sleep 0.3
xdotool key Return
sleep 1
shot quit
for _ in $(seq 150); do
  [ -s "$run/replays/last.smr" ] && break
  sleep 0.2
done
[ -s "$run/replays/last.smr" ] || fail "no replays/last.smr after the game: $(cat "$work/game.log")"
sleep 0.5
kill -TERM "$game_pid"
wait "$game_pid"
game_pid=""
played=$(ls "$work/played" | wc -l)
[ "$played" -ge 5 ] || fail "only $played pictures of the game were written"
echo "played: $played pictures, replay $(stat -c %s "$run/replays/last.smr") bytes"

# Watch: the same pictures, then the main menu; nothing written meanwhile.
sums_before=$(cd "$run" && md5sum Config.cfg replays/*)
export STARMOAT_DUMP_FRAMES="$work/watched"
(cd "$run" && SDL_AUDIODRIVER=dummy exec "$program_exe" --replay replays/last.smr) >"$work/watch.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/watch.log"
sleep 3
shot watching
for _ in $(seq 150); do
  [ "$(ls "$work/watched" | wc -l)" -ge "$played" ] && break
  sleep 0.2
done
wait_for after green_at 470 340 310 35 || fail "no main menu after the replay (see after.png)"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended after the replay: $(cat "$work/watch.log")"
kill -TERM "$game_pid"
wait "$game_pid"
game_pid=""
watched=$(ls "$work/watched" | wc -l)
[ "$watched" -eq "$played" ] || fail "$played pictures played, $watched watched"
for f in "$work/played"/*.ppm; do
  cmp -s "$f" "$work/watched/$(basename "$f")" || fail "$(basename "$f") differs between the game and its replay"
done
echo "watched: the same $watched pictures"
sums_after=$(cd "$run" && md5sum Config.cfg replays/*)
[ "$sums_before" = "$sums_after" ] || fail "files changed while watching: $sums_before / $sums_after"
[ "$(ls "$run/replays" | wc -l)" -eq 1 ] || fail "a replay was written while watching: $(ls "$run/replays")"

# Refused: another version, and a damaged file; one line, status 1, no window.
python3 - "$run/replays/last.smr" "$work/other.smr" <<'PY'
import sys, zlib, struct
data = open(sys.argv[1], 'rb').read()
n = data[6]
body = data[:6] + bytes([5]) + b'0.0.1' + data[7 + n:-4]
open(sys.argv[2], 'wb').write(body + struct.pack('<I', zlib.crc32(body)))
PY
head -c 40 "$run/replays/last.smr" >"$work/cut.smr"
for file in other cut; do
  (cd "$run" && timeout 20 "$program_exe" --replay "$work/$file.smr") >"$work/$file.out" 2>&1
  status=$?
  [ "$status" -eq 1 ] || fail "--replay $file.smr ended with status $status: $(cat "$work/$file.out")"
  [ "$(wc -l <"$work/$file.out")" -eq 1 ] || fail "--replay $file.smr said more than one line: $(cat "$work/$file.out")"
  echo "$file: $(cat "$work/$file.out")"
done
grep -q "recorded by Starmoat 0.0.1" "$work/other.out" || fail "the other version is not named"
echo "PASS"
