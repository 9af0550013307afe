#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the storage tests and the benchmark.
#
#   pg_cluster.sh start STATE_DIR [--durable]   start one; STATE_DIR/url then holds its URL
#   pg_cluster.sh stop STATE_DIR                stop it and delete its files
#   pg_cluster.sh restart STATE_DIR             restart it (its buffers then start empty)
#   pg_cluster.sh run [--durable] -- CMD...     start one, run CMD with STARMOAT_TEST_POSTGRESQL_URL
#                                               set to it (and STARMOAT_TEST_POSTGRESQL_STATE to
#                                               its STATE_DIR), stop it; exits with CMD's status
#
# The cluster lives in a new folder under /tmp, listens on a free port of 127.0.0.1 only and
# keeps its unix sockets in that folder, so it meets neither the machine's own cluster nor a
# parallel run. PostgreSQL refuses to run as root, so as root the cluster belongs to the
# `postgres` user. Without PostgreSQL and without root (a developer's machine that did not run
# ./test's set-up) `start` writes STATE_DIR/skip with the reason instead, and the tests skip
# with it; under CI=true a missing PostgreSQL is an error, never a skip.
# Without --durable the cluster does not sync to disk: the tests check behaviour, not crashes.
set -euo pipefail

die() { echo "pg_cluster.sh: $*" >&2; exit 1; }

bin_dir() {
  local dir
  dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
  if [ -n "$dir" ] && [ -x "$dir/initdb" ]; then echo "$dir"; return; fi
  if command -v initdb >/dev/null 2>&1; then dirname "$(command -v initdb)"; return; fi
  return 1
}

# Runs a PostgreSQL program as the cluster's owner.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

cmd_stop() {
  local state=$1 dir bin
  [ -f "$state/dir" ] || return 0
  dir=$(cat "$state/dir")
  if [ -d "$dir/data" ] && bin=$(bin_dir); then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop </dev/null >/dev/null 2>&1 || true
  fi
  case "$dir" in /tmp/starmoat-pg.*) rm -rf "$dir" ;; esac
  rm -f "$state/dir" "$state/url" "$state/skip"
}

cmd_restart() {
  local state=$1 dir bin
  [ -f "$state/dir" ] || die "restart: no cluster in $state"
  dir=$(cat "$state/dir")
  bin=$(bin_dir) || die "restart: PostgreSQL is not installed"
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m fast -w -t 60 restart \
    </dev/null >/dev/null 2>&1 || { cat "$dir/server.log" >&2 || true; die "restart failed"; }
}

cmd_start() {
  local state=$1 durable=${2:-} bin dir port tries
  mkdir -p "$state"
  cmd_stop "$state"  # a cluster left over by an interrupted run
  rm -f "$state/skip"
  if ! bin=$(bin_dir) || { [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; }; then
    local why="PostgreSQL is not installed (Debian package postgresql; ./test installs it as root)"
    if [ "$(id -u)" -eq 0 ] || [ "${CI:-}" = true ]; then die "$why"; fi
    echo "$why" >"$state/skip"
    echo "PostgreSQL tests will be skipped: $why"
    return 0
  fi

  dir=$(mktemp -d /tmp/starmoat-pg.XXXXXX)
  echo "$dir" >"$state/dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  as_owner "$bin/initdb" -D "$dir/data" -U starmoat --auth=trust -E UTF8 --locale=C.UTF-8 \
    >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; die "initdb failed"; }

  local settings=(-c listen_addresses=127.0.0.1 -c "unix_socket_directories=$dir"
                  -c max_connections=200 -c shared_buffers=64MB)
  [ "$durable" = --durable ] ||
    settings+=(-c fsync=off -c synchronous_commit=off -c full_page_writes=off)
  # A free port: try random ones until the server binds one (another program may take a port
  # between any check and the bind, so the bind itself is the check).
  for tries in $(seq 1 20); do
    port=$((20000 + RANDOM % 40000))
    if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
         -o "-p $port $(printf '%q ' "${settings[@]}")" start </dev/null >/dev/null 2>&1; then
      as_owner "$bin/createdb" -h "$dir" -p "$port" -U starmoat starmoat_test
      echo "postgresql://starmoat@127.0.0.1:$port/starmoat_test" >"$state/url"
      echo "PostgreSQL $("$bin/postgres" --version | awk '{print $3}') on 127.0.0.1:$port," \
        "data in $dir: $(cat "$state/url")"
      return 0
    fi
    grep -q "could not bind\|already in use\|could not create any TCP/IP sockets" \
      "$dir/server.log" 2>/dev/null || { cat "$dir/server.log" >&2 || true; die "the server did not start"; }
    : >"$dir/server.log"
  done
  die "no free port found"
}

cmd_run() {
  local durable=""
  [ "${1:-}" = --durable ] && { durable=--durable; shift; }
  [ "${1:-}" = -- ] && shift
  [ $# -gt 0 ] || die "run: no command"
  local status=0
  RUN_STATE=$(mktemp -d /tmp/starmoat-pg-state.XXXXXX)
  trap 'cmd_stop "$RUN_STATE"; rm -rf "$RUN_STATE"' EXIT
  cmd_start "$RUN_STATE" "$durable" >&2
  [ -f "$RUN_STATE/url" ] || die "$(cat "$RUN_STATE/skip")"
  STARMOAT_TEST_POSTGRESQL_URL=$(cat "$RUN_STATE/url") STARMOAT_TEST_POSTGRESQL_STATE=$RUN_STATE \
    "$@" || status=$?
  return $status
}

case "${1:-}" in
  start) [ $# -ge 2 ] || die "start: STATE_DIR missing"; cmd_start "$2" "${3:-}" ;;
  stop) [ $# -ge 2 ] || die "stop: STATE_DIR missing"; cmd_stop "$2" ;;
  restart) [ $# -ge 2 ] || die "restart: STATE_DIR missing"; cmd_restart "$2" ;;
  run) shift; cmd_run "$@" ;;
  *) die "usage: pg_cluster.sh start STATE_DIR [--durable] | stop STATE_DIR | restart STATE_DIR | run [--durable] -- CMD..." ;;
esac
