#!/usr/bin/env bash
# The browser build against the native one: the page served by a real starmoat-scores on
# loopback, opened in headless Chromium (bench/web_frames.mjs: first picture, download size,
# frames per second and CPU per frame for the main menu and for play with fire held), then the
# native game under Xvfb for the same scenes (process CPU at its 64 frames per second).
# Not run by ./test: it measures, it does not check.
#
# Usage: bench/web_game.sh [web_dir] [native_build_dir] [seconds]
#   defaults: build-emscripten/web, build, 10 s per scene
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
web_dir=$(cd "${1:-$repo/build-emscripten/web}" && pwd)
native=$(cd "${2:-$repo/build}" && pwd)
seconds=${3:-10}
[ -d "$repo/tests/web/node_modules/puppeteer-core" ] ||
  (cd "$repo/tests/web" && npm ci --no-audit --no-fund --loglevel=error)

work=$(mktemp -d)
server_pid="" xvfb_pid="" game_pid=""
cleanup() {
  for pid in $game_pid $server_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== compressed download (what a browser taking gzip receives)"
total=0
for f in starmoat.wasm starmoat.data starmoat.js index.html; do
  size=$(stat -c %s "$web_dir/$f.gz" 2>/dev/null || stat -c %s "$web_dir/$f")
  total=$((total + size))
  printf '  %-14s %9d bytes (uncompressed %d)\n' "$f" "$size" "$(stat -c %s "$web_dir/$f")"
done
printf '  %-14s %9d bytes (%.2f MB)\n' total "$total" "$(echo "$total / 1048576" | bc -l)"

port=$((20000 + RANDOM % 40000))
"$native/server/starmoat-scores" serve --listen "127.0.0.1:$port" --database "$work/s.sqlite" \
  --web-root "$web_dir" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q "listening on" "$work/server.log" && break; sleep 0.1; done

echo "== the page in headless Chromium ($seconds s a scene)"
node "$repo/bench/web_frames.mjs" "http://127.0.0.1:$port" "$seconds"

echo "== the native game under Xvfb ($seconds s a scene)"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
mkdir "$work/run"
ln -s "$native/game/Data" "$work/run/Data"
ln -s "$native/game/sound" "$work/run/sound"
(cd "$work/run" && SDL_AUDIODRIVER=dummy exec "$native/game/starmoat") >"$work/game.log" 2>&1 &
game_pid=$!
sleep 7
window=$(xdotool search --onlyvisible --name '^Starmoat$' | head -n1)
xdotool windowfocus "$window" 2>/dev/null || true
hz=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
native_scene() {
  local before after
  before=$(cpu)
  sleep "$seconds"
  after=$(cpu)
  echo "$1: CPU $(echo "($after - $before) * 100 / ($hz * $seconds)" | bc -l | xargs printf '%.1f') % of a core," \
    "$(echo "($after - $before) * 1000 / ($hz * $seconds * 64)" | bc -l | xargs printf '%.2f') ms CPU per frame at 64 frames/s"
}
native_scene "main menu"
xdotool key Down Return
sleep 1.5
xdotool keydown Control_L
native_scene "play, fire held"
xdotool keyup Control_L
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
