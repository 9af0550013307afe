#!/usr/bin/env bash
# Measures the world table of starmoat-scores with a big table, on the loopback, with SQLite
# and then with PostgreSQL (a throw-away cluster that syncs to disk): score_fill writes ROWS
# made-up results, then for each kind of request (the world's page 1, a middle page and the
# last listed page, a country's first and last listed page, /api/scores at the top and at its
# deepest offset):
#   warm   SAMPLES requests, each a real read of the store (see world_table_load.cpp)
#   cold   one request right after a restart, COLD_ROUNDS times: the server restarted (and the
#          PostgreSQL cluster, so its buffers are empty) and, where this is allowed (root), the
#          operating system's page cache dropped with /proc/sys/vm/drop_caches
#   flood  8 clients asking for random deep pages and deep JSON while page 1 is measured
# Bounded in time (a few minutes, most of it the fills); not part of ./test.
#
#   bench/world_table.sh [BUILD_DIR]    (default: build; the tools are built there first)
# Set ROWS (default 1000000), SAMPLES (200), COLD_ROUNDS (3), FLOOD_SECONDS (10). On a machine
# shared with other work, NICE=-10 (as root) runs the server, the PostgreSQL cluster and the
# clients ahead of it while they are measured (the fills run at the usual priority), so the
# figures are the server's rather than the scheduler's.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
rows=${ROWS:-1000000}
samples=${SAMPLES:-200}
cold_rounds=${COLD_ROUNDS:-3}
flood_seconds=${FLOOD_SECONDS:-10}
boost=(nice -n "${NICE:-0}")
kinds=("world page 1" "world page 50" "world page 100 (last listed)" "country page 1"
       "country page 100 (last listed)" "/api/scores offset 0" "/api/scores offset 9900")

cmake --build "$build" -j2 --target starmoat-scores score_fill world_table_load >/dev/null
server_exe="$build/server/starmoat-scores"
fill="$build/bench/score_fill"
load="$build/bench/world_table_load"
work=$(mktemp -d)
server_pid=""
trap '[ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# Starts the server on a free port with the rate limit off; sets port and server_pid. The
# filled rows have no replays, so the pages show every row (--show-unverified).
start_server() {
  local database=$1
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    "${boost[@]}" "$server_exe" serve --listen "127.0.0.1:$port" --database "$database" --rate-limit 0 \
      --show-unverified >/dev/null 2>"$work/server.err" &
    server_pid=$!
    for _ in $(seq 100); do
      if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
      kill -0 "$server_pid" 2>/dev/null || break
      sleep 0.05
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

# Empties the operating system's page cache when allowed; says what "cold" then means.
drop_caches() {
  sync
  if echo 3 2>/dev/null >/proc/sys/vm/drop_caches; then
    cold_meaning="server restarted, page cache dropped"
  else
    cold_meaning="server restarted; the page cache could not be dropped (not root)"
  fi
}

measure() {
  local label=$1 database=$2 restart_database=$3
  echo "== $label"
  "$fill" --database "$database" --rows "$rows"

  $restart_database
  start_server "$database"
  echo "warm ($samples samples each, every page read from the store):"
  "${boost[@]}" "$load" warm "$port" --samples "$samples"
  echo "flood:"
  "${boost[@]}" "$load" flood "$port" --clients 8 --seconds "$flood_seconds"
  stop_server

  echo "cold (one request after each restart, $cold_rounds rounds):"
  local kind round ms
  for kind in "${kinds[@]}"; do
    local all=()
    for round in $(seq "$cold_rounds"); do
      $restart_database
      drop_caches
      start_server "$database"
      ms=$("${boost[@]}" "$load" once "$port" "$kind")
      stop_server
      all+=("$ms")
    done
    printf '  %-32s %s ms  (slowest %s ms)\n' "$kind" "${all[*]}" \
      "$(printf '%s\n' "${all[@]}" | sort -g | tail -n 1)"
  done
  echo "  cold means: $cold_meaning"
}

no_restart() { :; }
restart_cluster() {
  "${boost[@]}" bash tests/server/pg_cluster.sh restart "$STARMOAT_TEST_POSTGRESQL_STATE"
}

if [ -z "${STARMOAT_TEST_POSTGRESQL_URL:-}" ]; then
  echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg); $rows rows; nice ${NICE:-0}"
  measure "SQLite" "$work/scores.sqlite" no_restart
  # The same again inside a throw-away PostgreSQL cluster that syncs to disk as a real one does.
  bash tests/server/pg_cluster.sh run --durable -- "$0" "$build"
else
  measure "PostgreSQL (throw-away cluster, durable, shared_buffers 64MB)" \
    "$STARMOAT_TEST_POSTGRESQL_URL" restart_cluster
  echo "load average afterwards $(cut -d' ' -f1-3 /proc/loadavg)"
fi
