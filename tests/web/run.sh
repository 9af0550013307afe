#!/usr/bin/env bash
# The browser build's tests: a real starmoat-scores serves the web build at /play/, the native
# game's main menu is captured under Xvfb as the picture to compare with, and headless
# Chromium (driven by puppeteer-core, installed here from package-lock.json) plays the page
# (web_game.mjs says what is checked).
#
#   tests/web/run.sh WEB_DIR [NATIVE_BUILD_DIR]
#
# WEB_DIR: the web build's page folder (build-emscripten/web); NATIVE_BUILD_DIR (default
# build/) holds game/starmoat and server/starmoat-scores. KEEP_SHOTS=DIR keeps the pictures.
set -u
here=$(cd "$(dirname "$0")" && pwd)
web_dir=$(cd "${1:?usage: run.sh WEB_DIR [NATIVE_BUILD_DIR]}" && pwd)
native=$(cd "${2:-$here/../../build}" && pwd)
game_dir=$native/game
server_exe=$native/server/starmoat-scores
[ -x "$server_exe" ] || { echo "FAIL: no server executable $server_exe" >&2; exit 1; }
[ -f "$web_dir/starmoat.wasm" ] || { echo "FAIL: no web build in $web_dir" >&2; exit 1; }

if [ ! -d "$here/node_modules/puppeteer-core" ]; then
  (cd "$here" && npm ci --no-audit --no-fund --loglevel=error) || { echo "FAIL: npm ci" >&2; exit 1; }
fi

# The native menu: the game in a scratch folder under Xvfb (program.bash). The intro moves on
# every frame and the menu after it stands still: the menu is the first picture that three
# shots half a second apart agree on.
. "$here/../e2e/lib/program.bash"
wait_frames first
still=0
for _ in $(seq 60); do
  sleep 0.5
  shot native-menu
  if [ -f "$work/native-last.png" ] &&
     [ "$(compare -metric AE "$work/native-menu.png" "$work/native-last.png" null: 2>&1)" = 0 ]; then
    still=$((still + 1))
    [ "$still" -ge 2 ] && break
  else
    still=0
  fi
  cp "$work/native-menu.png" "$work/native-last.png"
done
[ "$still" -ge 2 ] || fail "the native game's picture never stood still (no menu after its intro)"
convert "$work/native-menu.png" -depth 8 rgb:"$work/native-menu.rgb" ||
  fail "cannot convert the native menu's picture"
kill -TERM "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
game_pid=""

server_pid=""
stop_server() {
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  server_pid=""
}
trap 'stop_server; cleanup' EXIT
mkdir "$work/server"
for _ in $(seq 20); do
  port=$((20000 + RANDOM % 40000))
  "$server_exe" serve --listen "127.0.0.1:$port" --database "$work/server/scores.sqlite" \
    --rate-limit 0 --web-root "$web_dir" >"$work/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    grep -q "listening on" "$work/server.log" && break 2
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_server  # the port was taken: another one
done
[ -n "$server_pid" ] || fail "the server did not start: $(cat "$work/server.log")"
echo "starmoat-scores on 127.0.0.1:$port serving $web_dir"

mkdir -p "$work/shots"
node "$here/web_game.mjs" "http://127.0.0.1:$port" "$work/native-menu.rgb" "$work/shots"
status=$?
cp "$work"/shots/*.png "$work/" 2>/dev/null
if [ "$status" -ne 0 ]; then
  echo "the server's log:"; tail -n 30 "$work/server.log"
  exit 1
fi
echo "PASS"
