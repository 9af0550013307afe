#!/usr/bin/env bash
# A walk through the menus in a real window under Xvfb: start on a fresh folder, wait for the
# main menu, open and leave the options, the high scores and the help, answer "Exit game?" with
# Yes, and check that the program ended and wrote a fresh Config.cfg (145 bytes). Each screen's
# picture must not be black and must differ from the one before it.
#
# Usage: menu_walk.sh <game folder> [screenshot folder]
# The screenshots (one per screen) are kept when a second argument is given.
set -euo pipefail

game_dir=$(cd "$1" && pwd)
shots=${2:-}
for tool in Xvfb xdotool import convert compare; do
  command -v "$tool" >/dev/null || { echo "menu_walk: $tool is missing" >&2; exit 1; }
done
[[ -x $game_dir/starmoat ]] || { echo "menu_walk: no starmoat in $game_dir" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
  [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "menu_walk: $*" >&2
  [[ -f $work/game.log ]] && sed 's/^/  starmoat: /' "$work/game.log" >&2
  exit 1
}

. "$(dirname "$0")/lib/session.bash"
start_xvfb

# The program works in its current folder: pictures, music and the settings file live there.
mkdir -p "$work/game"
cp -r "$game_dir/Data" "$work/game/"
[[ -d $game_dir/sound ]] && cp -r "$game_dir/sound" "$work/game/"
# Keep the pointer away from the window so that the menus follow the keys only.
xdotool mousemove 0 0
(cd "$work/game" && SDL_AUDIODRIVER=dummy exec "$game_dir/starmoat" >"$work/game.log" 2>&1) &
game_pid=$!

window=
for _ in $(seq 100); do
  window=$(xdotool search --name '^Starmoat$' 2>/dev/null | head -n1 || true)
  [[ -n $window ]] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the program ended before its window appeared"
  sleep 0.1
done
[[ -n $window ]] || fail "no window named Starmoat"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"

previous=
shot() {
  sleep 0.4
  local png=$work/$1.png
  import -window "$window" "$png" 2>/dev/null || fail "no screenshot of $1"
  if [[ -n $shots ]]; then
    mkdir -p "$shots"
    cp "$png" "$shots/"
  fi
  local mean
  mean=$(convert "$png" -format '%[fx:mean]' info:)
  awk "BEGIN {exit !($mean > 0)}" || fail "$1 is black"
  if [[ -n $previous ]]; then
    # compare prints the number of differing pixels on stderr (and exits 1 when there are any).
    local changed
    changed=$(compare -metric AE "$work/$previous.png" "$png" null: 2>&1 || true)
    [[ $changed =~ ^[0-9]+$ ]] || fail "cannot compare $previous with $1: $changed"
    (( changed > 0 )) || fail "$1 shows the same picture as $previous"
    echo "menu_walk: $1: $changed pixels differ from $previous"
  fi
  previous=$1
}

key() {
  for k in "$@"; do
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended early (at key $k)"
    xdotool key "$k"
    sleep 0.25
  done
}

# The intro: the logo slides in for 85 frames (about 1.3 s) and the highlight walks down to
# the last item ("Exit").
sleep 0.5
shot 01-intro
sleep 2
shot 02-main-menu

key Down Down Return      # wraps to "Play", then "Options"
shot 03-options
key Up Return             # the "Boss key" row: waiting for a key
shot 04-boss-key-capture
key F11                   # becomes the boss key; the page shows "F11"
shot 05-options-f11
key Escape                # back to the main menu
key Down Return           # "High scores"
shot 06-high-scores
key Escape Down Return    # "Help"
shot 07-help-overview
key Right Return          # next page
shot 08-help-bonuses
key Return
shot 09-help-controls
key Return
shot 10-help-about
key Escape Escape         # main menu, then the exit question
shot 11-exit-question
key Return                # "Yes" is highlighted

for _ in $(seq 50); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then fail "the program is still running after Yes"; fi
wait "$game_pid" || fail "the program ended with status $?"
game_pid=

cfg=$work/game/Config.cfg
[[ -f $cfg ]] || fail "no Config.cfg written"
size=$(stat -c %s "$cfg")
# Default settings (F11 as the boss key still takes one byte) and the default table.
[[ $size -eq 145 ]] || fail "Config.cfg has $size bytes, expected 145"
# The boss key chosen on the options page was saved: the fourth byte is its code (122).
boss=$(od -An -tu1 -j3 -N1 "$cfg" | tr -d ' ')
[[ $boss -eq 122 ]] || fail "boss key byte is $boss, expected 122 (F11)"
echo "menu_walk: ok"
