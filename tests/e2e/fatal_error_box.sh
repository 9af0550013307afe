#!/usr/bin/env bash
# A fatal error shows a message box; SIGTERM while it is up ends the program and takes the box
# with it (X11 message boxes are drawn by a helper process of their own, which must not outlive
# the program).
# Usage: fatal_error_box.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: fatal_error_box.sh <game dir>}" && pwd)
# A pack whose first record declares a negative length: loading it is a fatal error.
damaged=$(mktemp -d)
printf '\xff\xff\xff\xff' >"$damaged/Data.pp"
head -c 2000 /dev/zero >>"$damaged/Data.pp"
data_dir=$damaged
. "$(dirname "$0")/lib/program.bash"
trap 'cleanup; rm -rf "$damaged"' EXIT

# The window found is the box (or the main window just before it): wait for the helper.
box_pid=""
for _ in $(seq 100); do
  grep -q "Starmoat: " "$work/game.log" && box_pid=$(pgrep -P "$game_pid" | head -n1)
  [ -n "$box_pid" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the program ended without a box: $(cat "$work/game.log")"
  sleep 0.1
done
echo "error: $(cat "$work/game.log")"
[ -n "$box_pid" ] || fail "no message box process after 10 s"
sleep 0.5
xdotool search --onlyvisible --name '^Starmoat$' >/dev/null || fail "no box on the screen"

kill -TERM "$game_pid"
gone=""
for _ in $(seq 30); do
  if ! kill -0 "$game_pid" 2>/dev/null && ! kill -0 "$box_pid" 2>/dev/null; then
    gone=yes
    break
  fi
  sleep 0.1
done
wait "$game_pid" 2>/dev/null
game_pid=""
if [ -z "$gone" ]; then
  kill -KILL "$box_pid" 2>/dev/null
  fail "the message box was still up 3 s after SIGTERM ended the program"
fi
sleep 0.2
if xdotool search --onlyvisible --name '^Starmoat$' >/dev/null 2>&1; then
  fail "a window named Starmoat is still shown"
fi
echo "PASS"
