#!/usr/bin/env bash
# Measures starmoat-scores on the loopback, with SQLite and with PostgreSQL: submissions (a
# token and a result, as the game sends them) per second from 16 clients, world pages per
# second, each with p50 and p99 latency; then wrk against /healthz and the world page of the
# same server for comparison; then submissions again, each followed by the replay of a
# ten-minute game as the game sends it, with the server checking replays meanwhile, and the
# CPU time one check costs through the server's own child process. Bounded in time (about a
# minute and a half); not part of ./test.
#
#   bench/score_server.sh [BUILD_DIR]     (default: build; the server and the load tool are
#                                          built there first)
# Set SECONDS_EACH (default 5) and CLIENTS (default 16) to change the load.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
seconds=${SECONDS_EACH:-5}
clients=${CLIENTS:-16}

# wrk is only for this benchmark, so it is installed here and not by ./test.
if ! command -v wrk >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "The benchmark needs wrk: sudo apt-get install -y wrk" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wrk
fi

cmake --build "$build" -j2 --target starmoat-scores score_server_load >/dev/null
server_exe="$build/server/starmoat-scores"
load="$build/bench/score_server_load"
work=$(mktemp -d)
server_pid=""
trap '[ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# Starts the server on a free port with the rate limit off; sets port and server_pid.
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

stop_server() {
  kill -TERM "$server_pid"
  wait "$server_pid" || true
  server_pid=""
}

# wrk's requests per second and latency percentiles, on one line.
wrk_line() {
  wrk -t2 -c"$clients" -d"${seconds}s" --latency "http://127.0.0.1:$port$1" |
    awk -v path="$1" '/Requests\/sec/ {rps = $2} $1 == "50%" {p50 = $2} $1 == "99%" {p99 = $2}
      /Non-2xx/ {bad = $NF} END {printf "wrk %s: %d clients, %.0f/s, p50 %s, p99 %s%s\n",
      path, '"$clients"', rps, p50, p99, bad ? ", non-2xx " bad : ""}'
}

measure() {
  local label=$1 database=$2
  echo "== $label"
  start_server "$database"
  "$load" submit "$port" --clients "$clients" --seconds "$seconds"
  "$load" page "$port" --clients "$clients" --seconds "$seconds"
  wrk_line /healthz
  wrk_line "//cgi/version.pl?prg=Starmoat&show&type=0"
  "$load" submit "$port" --clients "$clients" --seconds "$seconds" --replay "$replay"
  # What the checks did meanwhile, and once the queue has drained.
  sleep 3
  echo "  replays verified: $(grep -c ': verified$' "$work/access.log" || true)," \
    "refused: $(grep -c ': refused: ' "$work/access.log" || true)" \
    "(load average $(cut -d' ' -f1-3 /proc/loadavg))"
  stop_server
  echo "rows stored: $("$server_exe" list --database "$database" --limit 1000000 | tail -n +2 | grep -c . || true)"
}

replay="$work/ten-minutes.smr"
"$load" record "$replay"
# One check through the server's path: the child process it starts for each replay.
TIMEFORMAT="verify child: %U s user + %S s system CPU, %R s wall"
time "$server_exe" verify "$replay"

if [ -z "${STARMOAT_TEST_POSTGRESQL_URL:-}" ]; then
  echo "$(nproc) cores; $clients clients, ${seconds} s per measurement (1 s warm-up)"
  measure "SQLite ($work/scores.sqlite)" "$work/scores.sqlite"
  # The same again inside a throw-away PostgreSQL cluster that syncs to disk as a real one does.
  bash tests/server/pg_cluster.sh run --durable -- "$0" "$build" 2>/dev/null
else
  measure "PostgreSQL (throw-away cluster, durable)" "$STARMOAT_TEST_POSTGRESQL_URL"
fi
