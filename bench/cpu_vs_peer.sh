#!/usr/bin/env bash
# CPU use of the real program against a peer, side by side: Starmoat and Debian's `powermanga`
# (another SDL shoot-'em-up, used here only as a yardstick) run one after the other on the same
# Xvfb screen with the same SDL audio driver, and each run's process CPU (utime + stime from
# /proc/<pid>/stat, all threads) is taken over a fixed window. Scenes: main menu, a game with
# fire held, the high-score page (Starmoat only: the peer has none), and main menu and play in
# full screen. Windows are interleaved (every scene of both programs once, then again), so a
# change in the machine's load hits both alike. Prints the medians, Starmoat's ratio to the
# peer and full screen against windowed, and the load average.
#
# Not run by ./test: it takes minutes and measures, it does not check.
#
# Usage: bench/cpu_vs_peer.sh [game_dir] [windows] [seconds] [before_dir]
#   game_dir  the built game folder (default: build/game); windows: per scene (default 3);
#   seconds: length of one measured window (default 15); before_dir: another build of the game
#   (e.g. of an older commit), measured in the same rounds for a before/after column.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
game_dir=$(cd "${1:-$repo/build/game}" && pwd)
windows=${2:-3}
seconds=${3:-15}
before_dir=""
[ -n "${4:-}" ] && before_dir=$(cd "$4" && pwd)
peer=/usr/games/powermanga

# Set-up: the peer and the X tools come from Debian.
need=()
[ -x "$peer" ] || need+=(powermanga)
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || need+=("$([ "$tool" = Xvfb ] && echo xvfb || echo "$tool")")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "installing ${need[*]}" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}" >/dev/null
fi
[ -x "$game_dir/starmoat" ] || { echo "no $game_dir/starmoat" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh 1280 x 1024 screen for every run (windowed runs sit on it, full screen covers it):
# a program killed in full screen can leave a screen behind that the next one cannot use.
fail() { echo "cpu_vs_peer: $*" >&2; exit 1; }
screen_size=1280x1024
. "$repo/tests/e2e/lib/session.bash"
stop_screen() {
  kill -TERM "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
export SDL_AUDIODRIVER=dummy
hz=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

wait_window() {  # name pattern
  local w=""
  for _ in $(seq 300); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.1
  done
  echo "no window $1" >&2
  return 1
}

key() { xdotool key --window "$1" --delay 120 "${@:2}"; sleep 0.3; }

# Starts a fresh Starmoat in its own scratch folder and brings it to the scene.
start_starmoat() {  # scene game_dir
  local game_dir=$2
  rm -rf "$work/run"
  mkdir "$work/run"
  ln -s "$game_dir/Data" "$work/run/Data"
  [ -d "$game_dir/sound" ] && ln -s "$game_dir/sound" "$work/run/sound"
  (cd "$work/run" && exec "$game_dir/starmoat") >"$work/app.log" 2>&1 &
  app_pid=$!
  local w
  w=$(wait_window '^Starmoat$') || return 1
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  sleep 4  # the intro ends on its own; the main menu's last item is lit
  case "$1" in
    menu*) ;;
    play*)  # Down wraps to "Play"; Ctrl is fire
      key "$w" Down Return
      sleep 3
      xdotool keydown Control_L ;;
    scores) key "$w" Down Down Down Return ;;
  esac
  case "$1" in
    *_full) key "$w" alt+Return ;;
  esac
}

# The peer: Ctrl ends its intro, Return on the lit "Play" starts a game, Space fires.
start_peer() {  # scene
  local mode=--window
  case "$1" in *_full) mode=--fullscreen ;; esac
  mkdir -p "$work/peerhome/.config"
  local w attempt
  # It now and then fails to open its window (the sound set-up); one more start fixes that.
  for attempt in 1 2; do
    # x11 only: when the window fails, SDL 1.2 would fall back to drawing in the terminal.
    HOME="$work/peerhome" SDL_VIDEODRIVER=x11 "$peer" "$mode" >"$work/peer.log" 2>&1 &
    app_pid=$!
    w=$(wait_window '[Pp]owermanga') && break
    tail -n 3 "$work/peer.log" | cut -c1-200 >&2
    stop_app
  done
  [ -n "$w" ] || return 1
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  sleep 4
  key "$w" Control_L
  sleep 1
  case "$1" in
    play*)
      key "$w" Return
      sleep 3
      xdotool keydown space ;;
  esac
}

# Percent of one core that the running app used over the window.
measure() {
  sleep 2  # let the scene settle
  local before after
  before=$(cpu_ticks "$app_pid")
  sleep "$seconds"
  after=$(cpu_ticks "$app_pid")
  awk -v d=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * d / (hz * s) }'
}

stop_app() {
  xdotool keyup Control_L space 2>/dev/null || true
  kill -KILL "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

starmoat_scenes=(menu play scores menu_full play_full)
peer_scenes=(menu play menu_full play_full)
declare -A results

# One measured window of a program (starmoat, peer or before) in a scene on its own screen; a
# run that cannot reach its scene is tried once more, then left out of the medians.
run() {  # program scene
  local attempt value=""
  for attempt in 1 2; do
    start_xvfb
    case "$1" in
      starmoat) start_starmoat "$2" "$game_dir" && value=$(measure) ;;
      before) start_starmoat "$2" "$before_dir" && value=$(measure) ;;
      peer) start_peer "$2" && value=$(measure) ;;
    esac
    stop_app
    stop_screen
    [ -n "$value" ] && break
    echo "($1 $2: no measurement, attempt $attempt)" >&2
  done
  results[$1_$2]+="$value "
}

for round in $(seq "$windows"); do
  for scene in "${starmoat_scenes[@]}"; do
    run starmoat "$scene"
    [ -n "$before_dir" ] && run before "$scene"
    if [[ " ${peer_scenes[*]} " == *" $scene "* ]]; then run peer "$scene"; fi
  done
  echo "round $round done ($(cut -d' ' -f1-3 /proc/loadavg))" >&2
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-11s %-28s %8s  %-28s %8s  %s\n' scene "starmoat % of a core" median "powermanga % of a core" median "ratio"
for scene in "${starmoat_scenes[@]}"; do
  s=$(echo "${results[starmoat_$scene]}" | median)
  if [ -n "${results[peer_$scene]:-}" ]; then
    p=$(echo "${results[peer_$scene]}" | median)
    r=$(awk -v s="$s" -v p="$p" 'BEGIN { if (p > 0) printf "%.2fx", s / p; else print "-" }')
  else
    p="-"
    r="-"
  fi
  printf '%-11s %-28s %8s  %-28s %8s  %s\n' "$scene" "${results[starmoat_$scene]}" "$s" \
    "${results[peer_$scene]:-}" "$p" "$r"
done
for scene in menu play; do
  w=$(echo "${results[starmoat_$scene]}" | median)
  f=$(echo "${results[starmoat_${scene}_full]}" | median)
  awk -v w="$w" -v f="$f" -v s="$scene" 'BEGIN { if (w > 0) printf "starmoat %s full screen / windowed: %.2fx\n", s, f / w }'
done
if [ -n "$before_dir" ]; then
  printf '\n%-11s %-28s %8s  %s\n' scene "before % of a core" median "starmoat / before"
  for scene in "${starmoat_scenes[@]}"; do
    b=$(echo "${results[before_$scene]}" | median)
    s=$(echo "${results[starmoat_$scene]}" | median)
    r=$(awk -v s="$s" -v b="$b" 'BEGIN { if (b > 0) printf "%.2fx", s / b; else print "-" }')
    printf '%-11s %-28s %8s  %s\n' "$scene" "${results[before_$scene]}" "$b" "$r"
  done
fi
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
