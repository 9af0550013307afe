#!/usr/bin/env bash
# starmoat-scores under hostile clients, on the loopback, with SQLite and then with PostgreSQL
# (a throw-away cluster that syncs to disk): 500 idle and 500 slow-header connections are
# held (each one the server closes is opened again) while players make whole submissions one
# after another; prints the submissions' p50/p99/max latency and the server's VmRSS while held
# and after. Bounded in time (about a minute); not part of ./test.
#
#   bench/hostile_clients.sh [BUILD_DIR]    (default: build)
# Set IDLE, SLOW (default 500 each) and SECONDS_HELD (default 20) to change the load.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
idle=${IDLE:-500}
slow=${SLOW:-500}
seconds=${SECONDS_HELD:-20}

# Both ends of every connection are in this machine: the client side needs the descriptors too.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true
[ "$(ulimit -n)" -ge $((2 * (idle + slow) + 200)) ] ||
  { echo "the open-file limit ($(ulimit -n)) is too low for $idle + $slow connections" >&2; exit 1; }

cmake --build "$build" -j2 --target starmoat-scores score_server_hostile >/dev/null
server_exe="$build/server/starmoat-scores"
hostile="$build/bench/score_server_hostile"
work=$(mktemp -d)
server_pid=""
pg_state="$work/pg"
cleanup() {
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null
  wait 2>/dev/null || true
  bash tests/server/pg_cluster.sh stop "$pg_state" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

start_server() {
  local database=$1
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    "$server_exe" serve --listen "127.0.0.1:$port" --database "$database" --rate-limit 0 \
      >"$work/access.log" 2>"$work/server.err" &
    server_pid=$!
    for _ in $(seq 50); do
      if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
      kill -0 "$server_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true
  done
  echo "the server did not start: $(cat "$work/server.err")" >&2
  exit 1
}

measure() {
  local label=$1 database=$2
  echo "== $label"
  start_server "$database"
  echo "server VmRSS at start: $(awk '/VmRSS/ {printf "%.1f MB", $2 / 1024}' /proc/$server_pid/status)"
  "$hostile" hold "$port" "$server_pid" --idle "$idle" --slow "$slow" --seconds "$seconds" || true
  echo "access log: $(grep -c ' 408 ' "$work/access.log" || true) answered 408 (head deadline)," \
    "$(grep -c ' 200 ' "$work/access.log" || true) answered 200"
  kill -TERM "$server_pid"
  wait "$server_pid" || true
  server_pid=""
}

echo "$(nproc) cores; $idle idle + $slow slow-header connections, ${seconds} s"
measure "SQLite" "$work/scores.sqlite"
bash tests/server/pg_cluster.sh start "$pg_state" --durable >/dev/null
measure "PostgreSQL (throw-away cluster, durable)" "$(cat "$pg_state/url")"
