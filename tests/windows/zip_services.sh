#!/usr/bin/env bash
# The zip's game under Wine with what the system around it gives:
#  - the boss key (F12 here) minimises the window, and once restored (as a click on its
#    taskbar button restores it) the game takes keys again;
#  - a game quit at once enters the table, its result goes to a local world score server (the
#    Linux build's starmoat-scores) and its replay follows: the server plays the Windows
#    game's replay back and marks the row verified;
#  - "World table" on the high-score page opens the server's page in the system's browser
#    (ShellExecute: Wine hands http URLs to the browser its registry names, here a script that
#    writes down what it was given).
# There is no window manager on the test's display, so a minimised window looks the same from
# outside: window_probe.exe asks Windows for the window's state.
# Usage: zip_services.sh PACKAGES_DIR STARMOAT_SCORES WINDOW_PROBE_EXE
set -u
usage="usage: zip_services.sh PACKAGES_DIR STARMOAT_SCORES WINDOW_PROBE_EXE"
packages=$(cd "${1:?$usage}" && pwd)
server_exe=${2:?$usage}
probe=$(realpath "${3:?$usage}")
. "$(dirname "$0")/lib/test_run.bash"

zip=$(ls "$packages"/starmoat-*-windows-x64.zip 2>/dev/null | head -n1)
[ -n "$zip" ] || fail "no starmoat-*-windows-x64.zip in $packages (tools/windows/package.sh makes it)"
[ -x "$server_exe" ] || fail "no $server_exe: the Linux build (build/) makes the server"
[ -f "$probe" ] || fail "no $probe"

name=WINEPLAYER
country=Wineland

# The settings file byte for byte: window on, music and sound off, boss key F12 (123), the
# country, then ten entries of -1 points, so that any game enters the table. Text is stored
# as a length byte and the complement of every byte.
byte() { printf "\\$(printf '%03o' "$1")"; }
stored() {
  local text=$1 i
  byte "${#text}"
  for ((i = 0; i < ${#text}; i++)); do byte $((255 - $(printf '%d' "'${text:i:1}"))); done
}
write_config() {
  byte 1; byte 0; byte 0; byte 123
  stored "$country"
  for _ in $(seq 10); do
    stored Anonymous
    byte 255; byte 255; byte 255; byte 255
  done
}

# The server on a port of its choosing, which its first line names.
server_pid=""
mkdir "$work/server"
"$server_exe" serve --listen 127.0.0.1:0 --database "$work/server/scores.sqlite" >"$work/server.log" 2>&1 &
server_pid=$!
trap '[ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid"; _test_cleanup' EXIT
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/.* listening on http:\/\/127\.0\.0\.1:\([0-9]*\) .*/\1/p' "$work/server.log")
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || fail "the server did not start: $(cat "$work/server.log")"
  sleep 0.1
done
[ -n "$port" ] || fail "the server named no port within 10 s: $(cat "$work/server.log")"
echo "starmoat-scores on 127.0.0.1:$port"

# The system's browser: Wine's winebrowser starts the first program of this list with the URL.
cat >"$work/browser.sh" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >>"$work/opened.txt"
EOF
chmod +x "$work/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$work/browser.sh" /f \
  </dev/null >"$work/reg.log" 2>&1 || fail "could not name the browser: $(cat "$work/reg.log")"

mkdir "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
exe=$(ls "$work"/unzipped/*/starmoat.exe)
game_folder=$(dirname "$exe")
write_config >"$game_folder/Config.cfg"
(cd "$work" && SDL_AUDIODRIVER=dummy STARMOAT_SCORE_HOST="127.0.0.1:$port" exec wine "$exe") \
  >"$work/game.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/game.log"
wait_steady menu 60

window_state() { wine "$probe" state Starmoat </dev/null 2>/dev/null | tr -d '\r'; }
# wait_state STATE SECONDS
wait_state() {
  local deadline=$((SECONDS + $2)) state=""
  while [ "$SECONDS" -lt "$deadline" ]; do
    state=$(window_state)
    [ "$state" = "$1" ] && return 0
    sleep 0.2
  done
  fail "the window is \"$state\", not $1, after $2 s"
}

# The boss key, and back.
[ "$(window_state)" = shown ] || fail "the window is \"$(window_state)\" before the boss key"
press F12
wait_state minimized 10
echo "boss key: the window is minimised"
wine "$probe" restore Starmoat </dev/null || fail "window_probe could not restore the window"
wait_state shown 10
# Restored, it takes keys again: Down moves the highlight from "Exit" round to "New game".
press Down
wait_change menu-new-game "$work/menu.png" 20
wait_steady menu-new-game 20
echo "restored, the game takes keys again"

# A game, quit after a few seconds: whatever it scored beats the table's -1.
press Return
wait_change play1 "$work/menu-new-game.png" 30
wait_change play2 "$work/play1.png" 30
# Esc asks "Exit game?" only in play proper, not under the level's opening label (2 s).
sleep 4
press Escape
wait_steady quit-question 30
press Left Return
# "Game Over", then the name entry: its panel's darker green text (228822).
deadline=$((SECONDS + 30))
until shoot name-entry && [ "$(text_pixels name-entry 240 230 350 50)" -gt 500 ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "no name entry after the game (see name-entry.png)"
  kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(tail -n 20 "$work/game.log")"
  sleep 0.3
done
# The name box's caret blinks, so this page never rests; the keys reach the game in the order
# they are pressed, the name's letters before Left ("Ok") and Enter.
press $(sed 's/./& /g' <<<"$name")
wait_change name-typed "$work/name-entry.png" 20
# "Ok", then "Send the result to world's highscores page": Yes.
press Left Return
wait_change submit-question "$work/name-typed.png" 20
wait_steady submit-question 30
press Left Return
# The result request, then the replay upload, within the game's 10-second budget; the server
# plays the Windows game's replay back itself and marks the row verified.
json=""
for _ in $(seq 150); do
  json=$(http_get "/api/scores?limit=10") || fail "no answer from /api/scores"
  grep -q '"verified":true' <<<"$json" && break
  sleep 0.2
done
grep -q '"verified":true' <<<"$json" || fail "no verified row: $json $(cat "$work/server.log")"
grep -qi "\"name\":\"$name\"" <<<"$json" || fail "the row is not $name's: $json"
grep -q "\"country\":\"$country\"" <<<"$json" || fail "the country is not in the row: $json"
score=$(sed -n 's/.*"score":\([0-9]*\).*/\1/p' <<<"$json")
[ -n "$score" ] || fail "the row has no score: $json"
grep -q '"POST /api/replays?token=[^"]*" 202 ' "$work/server.log" ||
  fail "the server accepted no replay upload: $(cat "$work/server.log")"
grep -q 'replay of score [0-9]*: verified' "$work/server.log" ||
  fail "the server logged no verdict: $(cat "$work/server.log")"
echo "submission: $name's result ($score points) is on the server, verified by its replay"

# Then the high-score page: its bright green title.
deadline=$((SECONDS + 30))
until shoot high-scores && [ "$(green_pixels high-scores 240 120 500 60)" -gt 200 ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "no high-score page after sending (see high-scores.png)"
  kill -0 "$game_pid" 2>/dev/null || fail "the program ended: $(tail -n 20 "$work/game.log")"
  sleep 0.3
done
wait_steady high-scores 20

# "World table" (the high-score page's second button): the server's page in the browser.
xdotool mousemove --window "$window" 136 241
sleep 0.3
xdotool click 1
want="http://127.0.0.1:$port//cgi/version.pl?prg=Starmoat&show&type=0"
deadline=$((SECONDS + 30))
until [ -s "$work/opened.txt" ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "no browser was started within 30 s"
  sleep 0.2
done
opened=$(cat "$work/opened.txt")
[ "$opened" = "$want" ] || fail "the browser was given \"$opened\", not $want"
echo "world table: the browser opened $opened"

# Back (the third button), then Esc and Yes: the program ends, its table and replays kept.
xdotool mousemove --window "$window" 172 478
sleep 0.3
xdotool click 1
wait_change menu-again "$work/high-scores.png" 20
wait_steady menu-again 20
press Escape
wait_steady exit-question 30
press Return
wait_exit 30
[ -f "$game_folder/replays/last.smr" ] || fail "no replays/last.smr beside starmoat.exe"
ls "$game_folder"/replays/*-"$score".smr >/dev/null 2>&1 || fail "the top-ten game's replay was not kept"
# The local table's first entry is the same result: after the four option bytes and the
# country, the name (length byte, then its bytes) and the score (int32, little-endian).
cfg="$game_folder/Config.cfg"
at=$((4 + 1 + ${#country}))
name_length=$(od -An -tu1 -j"$at" -N1 "$cfg" | tr -d ' ')
local_score=$(od -An -td4 -j$((at + 1 + name_length)) -N4 "$cfg" | tr -d ' ')
[ "$name_length" = "${#name}" ] && [ "$local_score" = "$score" ] ||
  fail "the local table's first entry is not the result sent (name length $name_length, score $local_score)"
echo "PASS"
