#!/usr/bin/env bash
# Acknowledged results survive crashes: while 8 clients submit without pause, starmoat-scores
# is killed with SIGKILL 5 times (SQLite) and its PostgreSQL server (a throw-away cluster that
# syncs to disk) is restarted 3 times in immediate mode, each followed by a restart; then every
# result that was answered 200 is looked up. Prints the count lost (must be 0). About a
# minute; not part of ./test.
#
#   bench/durability.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
cmake --build "$build" -j2 --target starmoat-scores score_server_hostile >/dev/null
server_exe="$build/server/starmoat-scores"
hostile="$build/bench/score_server_hostile"
work=$(mktemp -d)
server_pid=""
client_pid=""
pg_state="$work/pg"
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null
  wait 2>/dev/null || true
  bash tests/server/pg_cluster.sh stop "$pg_state" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
port=$((20000 + RANDOM % 40000))

serve() {
  "$server_exe" serve --listen "127.0.0.1:$port" --database "$1" --rate-limit 0 \
    >>"$work/access.log" 2>>"$work/server.err" &
  server_pid=$!
  for _ in $(seq 100); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
    sleep 0.05
  done
  echo "the server did not start: $(tail -n 3 "$work/server.err")" >&2
  exit 1
}

# Names acknowledged by the client and missing from the store.
lost() {
  "$server_exe" list --database "$1" --limit 1000000 | awk 'NR > 1 {print $4}' | sort -u \
    >"$work/stored"
  sort -u "$work/acked" | comm -23 - "$work/stored" | wc -l
}

# Waits (at most 60 s) until 200 more results have been acknowledged than before the crash.
recovered() {
  local before=$1 start=$SECONDS
  while [ "$(wc -l <"$work/acked")" -lt $((before + 200)) ]; do
    [ $((SECONDS - start)) -lt 60 ] || { echo "  no recovery within 60 s" >&2; return 1; }
    sleep 0.2
  done
  echo $((SECONDS - start))
}

run() {
  local label=$1 database=$2 crash=$3 times=$4 before
  echo "== $label"
  : >"$work/acked"
  rm -f "$work/acked.stop"
  serve "$database"
  "$hostile" acked "$port" "$work/acked" --clients 8 --seconds 600 &
  client_pid=$!
  for i in $(seq "$times"); do
    sleep 3
    before=$(wc -l <"$work/acked")
    "$crash"
    echo "  $i: $before acknowledged before it; answering again after $(recovered "$before") s"
  done
  sleep 1
  touch "$work/acked.stop"
  wait "$client_pid"
  client_pid=""
  kill -TERM "$server_pid"
  wait "$server_pid" || true
  server_pid=""
  echo "acknowledged $(sort -u "$work/acked" | wc -l), lost: $(lost "$database")"
}

kill_server() {
  kill -KILL "$server_pid"
  wait "$server_pid" 2>/dev/null || true
  serve "$database"
}

restart_postgresql() {
  local dir bin
  dir=$(cat "$pg_state/dir")
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
  runuser -u postgres -- "$bin/pg_ctl" -D "$dir/data" -m immediate -w restart >/dev/null 2>&1
}

database="$work/scores.sqlite"
run "SQLite, 5 SIGKILLs of the server under load" "$database" kill_server 5
bash tests/server/pg_cluster.sh start "$pg_state" --durable >/dev/null
database=$(cat "$pg_state/url")
run "PostgreSQL, 3 immediate restarts of the database under load" "$database" restart_postgresql 3
