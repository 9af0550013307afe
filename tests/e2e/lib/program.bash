# Shared by the real-window tests: an Xvfb display, the built program running in a scratch
# folder that sees the game's data, and small picture checks. Source it after setting
# game_dir (and program_exe to run another build of the program than $game_dir/starmoat, and
# program_launcher to start it through another program, such as wine);
# it sets DISPLAY, work, game_pid and window, and cleans up on exit.

fail() { echo "FAIL: $*" >&2; exit 1; }

exe="${program_exe:-$game_dir/starmoat}"
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
window=""
cleanup() {
  [ -n "${KEEP_SHOTS:-}" ] && cp "$work"/*.png "$work"/*.log "$KEEP_SHOTS"/ 2>/dev/null
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "${BASH_SOURCE[0]}")/session.bash"
start_xvfb

# The program works in its current folder (it writes Config.cfg there): a scratch folder that
# sees the game's data.
mkdir "$work/run"
# settings_file COUNTRY SCORE: a settings file byte for byte: window on, music and sound off,
# boss key F12, the country, then ten entries "Anonymous" with SCORE points each (signed 32-bit,
# little-endian); text is stored as a length byte and the complement of every byte. A test that
# quits a game and expects the main menu gives a table no short game can enter.
settings_file() {
  local i
  byte() { printf "\\$(printf '%03o' "$1")"; }
  stored() {
    local text=$1 j
    byte "${#text}"
    for ((j = 0; j < ${#text}; j++)); do byte $((255 - $(printf '%d' "'${text:j:1}"))); done
  }
  byte 1; byte 0; byte 0; byte 123
  stored "$1"
  for _ in $(seq 10); do
    stored Anonymous
    for i in 0 8 16 24; do byte $((($2 >> i) & 255)); done
  done
}

# data_dir (optional, set before sourcing): another Data folder, e.g. one with a damaged pack.
ln -s "${data_dir:-$game_dir/Data}" "$work/run/Data"
[ -d "$game_dir/sound" ] && ln -s "$game_dir/sound" "$work/run/sound"
# A test that needs files in place before the start (a settings file) defines prepare_run.
if declare -F prepare_run >/dev/null; then prepare_run "$work/run"; fi
(cd "$work/run" && SDL_AUDIODRIVER=dummy exec ${program_launcher:+"$program_launcher"} "$exe") \
  >"$work/game.log" 2>&1 &
game_pid=$!

find_window "$game_pid" "$work/game.log"

# Saves the window's picture as $work/<name>.png.
shot() { import -window "$window" "$work/$1.png" 2>/dev/null; }

# wait_for NAME CHECK [ARGS...]: takes the window's picture as NAME until `CHECK NAME ARGS...`
# succeeds, for up to 10 s; returns 1 if it never does. What a picture shows follows the game's
# own clock, which a busy machine delays by a varying amount: a fixed sleep before one picture
# would only guess how long to wait.
wait_for() {
  local name=$1 check=$2; shift 2
  for _ in $(seq 50); do
    shot "$name"
    "$check" "$name" "$@" && return 0
    sleep 0.2
  done
  return 1
}

# A check for wait_for. green_at NAME X Y W H: a label (over 200 bright green pixels) in the
# rectangle.
green_at() { [ "$(green_pixels "$1" "$2" "$3" "$4" "$5")" -gt 200 ]; }
