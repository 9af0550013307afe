#!/usr/bin/env bash
# The world score server and the game together, in the real window (Xvfb): starmoat-scores
# runs on a free loopback port with its SQLite file in a scratch folder, and the game, pointed
# at it by STARMOAT_SCORE_HOST, starts with a table whose every entry is -1 so that a game
# quit at once (score 0) enters it. The test quits a game, types a name, answers "Send the
# result" with Yes and then finds the row in the server, through its JSON and its list command;
# the game's replay followed the result, and the server played it back and marked the row
# verified, so it is on the default page with its replay.
# Usage: world_score.sh <game dir>   (the folder holding starmoat and Data/Data.pp)
# Exit status 77 means skipped (ctest shows it as such): see the messages.
set -u

game_dir=$(cd "${1:?usage: world_score.sh <game dir>}" && pwd)
server_exe=${STARMOAT_SCORES_EXE:-$(cd "$game_dir/.." && pwd)/server/starmoat-scores}
[ -x "$server_exe" ] || { echo "FAIL: no server executable $server_exe" >&2; exit 1; }

name=TESTER
country=Xvfbland

server_pid=""
stop_server() {
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  server_pid=""
}

# Runs from program.bash after it made the scratch folder and before the game starts: the
# server comes up first, so the game's environment can name its port.
prepare_run() {
  local run=$1 tries
  settings_file "$country" -1 >"$run/Config.cfg"
  mkdir "$work/server"
  for tries in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    "$server_exe" serve --listen "127.0.0.1:$port" --database "$work/server/scores.sqlite" \
      >"$work/server.log" 2>&1 &
    server_pid=$!
    for _ in $(seq 50); do
      http_get /healthz 2>/dev/null | head -n1 | grep -q ' 200 ' && break 2
      kill -0 "$server_pid" 2>/dev/null || break
      sleep 0.1
    done
    stop_server  # the port was taken (or the start was slow): another one
  done
  [ -n "$server_pid" ] || fail "the server did not start: $(cat "$work/server.log")"
  trap 'stop_server; cleanup' EXIT
  export STARMOAT_SCORE_HOST="127.0.0.1:$port"
  echo "starmoat-scores on $STARMOAT_SCORE_HOST"
}

. "$(dirname "$0")/lib/program.bash"

xdotool windowfocus "$window"
key() { xdotool key "$@"; }

# Checks for wait_for: the darker green text of a panel in the rectangle x y w h.
text_at() { [ "$(text_pixels "$1" "$2" "$3" "$4" "$5")" -gt 500 ]; }

# Intro, main menu, "New game" (as game.sh does it); a key tells the program that the mouse is
# no longer in use.
wait_for start green_at 470 535 310 35 || fail "no main menu after the intro (see start.png)"
xdotool mousemove --window "$window" 627 356
sleep 0.3
xdotool click 1
sleep 0.2
key x
sleep 2.5
# Esc, Left for "Yes", Enter: the game ends with 0 points, which beat the table's -1.
key Escape
wait_for question green_at 280 340 260 50 || fail "no \"Yes\"/\"No\" question (see question.png)"
key Left
sleep 0.3
key Return
wait_for name_entry text_at 240 230 350 50 || fail "no name entry after the game (see name_entry.png)"

# The letters of the name; Left selects "OK", Enter confirms. Then "Send the result to
# world's highscores page": Left for "Yes", Enter.
for ((i = 0; i < ${#name}; i++)); do key "${name:i:1}"; sleep 0.1; done
sleep 0.3
shot name_typed
key Left
sleep 0.3
key Return
wait_for submit_question text_at 210 250 380 60 ||
  fail "no \"Send the result\" question (see submit_question.png)"
key Left
sleep 0.3
key Return
# The sending takes up to its 10-second budget; the high-score page follows.
wait_for after_send green_at 240 120 500 60 || wait_for after_send green_at 240 120 500 60 ||
  fail "no high-score page after sending (see after_send.png): $(cat "$work/game.log")"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(cat "$work/game.log")"

# The server holds the row: in its JSON, and in the operator's list. The default list shows
# verified rows only: the row is there once the replay has been played back (a moment after
# its upload).
for _ in $(seq 300); do
  json=$(http_get "/api/scores?limit=10") || fail "no answer from /api/scores"
  echo "$json" | grep -q '"verified":true' && break
  sleep 0.1
done
echo "$json" | tail -n1
echo "$json" | grep -q '"verified":true' || fail "the row is not verified: $json $(cat "$work/server.log")"
echo "$json" | grep -q '"replay":"/api/replays?id=' || fail "the row has no replay link: $json"
page=$(http_get "//cgi/version.pl?prg=Starmoat&show&type=0") || fail "no world page"
echo "$page" | grep -qi "<td class=\"name\">$name<span class=\"mark\"" ||
  fail "the world page does not show $name as verified"
grep -q '"POST /api/replays?token=[^"]*" 202 ' "$work/server.log" ||
  fail "the access log has no accepted replay upload: $(cat "$work/server.log")"
grep -q 'replay of score [0-9]*: verified' "$work/server.log" ||
  fail "the server log has no verdict: $(cat "$work/server.log")"
echo "$json" | grep -qi "\"name\":\"$name\"" || fail "the row is not in /api/scores: $json"
echo "$json" | grep -q "\"country\":\"$country\"" || fail "the country is not in /api/scores: $json"
echo "$json" | grep -q '"score":0' || fail "the score 0 is not in /api/scores: $json"
stop_server
listing=$("$server_exe" list --database "$work/server/scores.sqlite") ||
  fail "starmoat-scores list failed: $listing"
echo "$listing"
echo "$listing" | grep -qi "$name" || fail "starmoat-scores list does not show $name"
grep -q "GET //cgi/version.pl?hs&prg=Starmoat&inf=" "$work/server.log" ||
  fail "the access log has no result request: $(cat "$work/server.log")"
echo "PASS"
