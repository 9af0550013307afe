#!/usr/bin/env bash
# Steps that a script runs in the background while it goes on with others (sourced by ./test):
#
#   bg_init LOG_DIR                  the logs' folder, emptied; stops every job when the script ends
#   bg_start NAME [--after OTHER] COMMAND [ARGS...]
#                                    runs COMMAND (a function too) at low priority, its output in
#                                    LOG_DIR/NAME.log; with --after, once OTHER has succeeded
#   bg_wait NAME                     waits for it; on failure prints the end of its log and
#                                    returns its exit status
#
# Each job runs in a process group of its own, so that stopping it stops whatever it started
# (apt-get, make, a compiler); when the script ends for any reason, every job still running is
# stopped that way, and none outlives it. A job's exit status is kept by the shell until
# bg_wait asks for it, however long before that the job ended.

declare -A bg_pid=() bg_began=()
bg_dir=""

bg_init() {
  bg_dir=$1
  rm -rf "$bg_dir"
  mkdir -p "$bg_dir"
  trap bg_stop_all EXIT
  # Stopped from outside: the jobs first, then the script itself by the same signal.
  trap 'bg_stop_all; trap - INT; kill -INT $$' INT
  trap 'bg_stop_all; trap - TERM; kill -TERM $$' TERM
}

bg_start() {
  local name=$1 after=""
  shift
  if [ "${1:-}" = --after ]; then
    after=$2
    shift 2
  fi
  local log="$bg_dir/$name.log"
  bg_began[$name]=$SECONDS
  # Job control on just for the spawn: the job becomes the leader of a new process group.
  set -m
  (
    # Its status for the jobs that wait on it (a stopped job's is that of a signal).
    trap 'exit 143' INT TERM
    trap 'echo "$?" >"$bg_dir/$name.status"' EXIT
    renice -n 10 -p "$BASHPID" >/dev/null
    if [ -n "$after" ]; then
      echo "waiting for $after"
      bg_await_status "$after"
    fi
    echo "started at $(date -u +%H:%M:%S) UTC"
    "$@"
    echo "done at $(date -u +%H:%M:%S) UTC"
  ) >"$log" 2>&1 </dev/null &
  bg_pid[$name]=$!
  set +m
}

# Inside a job: waits until job OTHER has ended, and fails unless it succeeded.
bg_await_status() {
  local file="$bg_dir/$1.status"
  while [ ! -s "$file" ]; do
    sleep 1
  done
  if [ "$(cat "$file")" != 0 ]; then
    echo "not started: $1 failed" >&2
    return 1
  fi
}

bg_wait() {
  local name=$1 pid=${bg_pid[$1]:?bg_wait: no job named $1} status=0 began=$SECONDS
  local log="$bg_dir/$name.log"
  wait "$pid" || status=$?
  unset "bg_pid[$name]"
  if [ "$status" -ne 0 ]; then
    echo "$BG_SCRIPT: the background step '$name' failed (exit status $status); the last" \
      "lines of its log, $log:" >&2
    tail -n 40 "$log" >&2
    return "$status"
  fi
  local started=${bg_began[$name]}
  echo "$BG_SCRIPT: background step '$name' done, $((SECONDS - started)) s after it was" \
    "started ($((SECONDS - began)) s waited for it here)"
}

# Runs in the EXIT trap: nothing here may fail, which would change the script's exit status.
bg_stop_all() {
  local name pid
  for name in "${!bg_pid[@]}"; do
    pid=${bg_pid[$name]}
    if kill -0 "$pid" 2>/dev/null; then
      echo "$BG_SCRIPT: stopping the background step '$name' (its log: $bg_dir/$name.log)" >&2
      kill -TERM -- "-$pid" 2>/dev/null || true
    fi
  done
  for name in "${!bg_pid[@]}"; do
    pid=${bg_pid[$name]}
    # A process that ignores TERM (dpkg finishing a package) gets ten seconds, then KILL.
    for _ in $(seq 20); do
      kill -0 -- "-$pid" 2>/dev/null || break
      sleep 0.5
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    unset "bg_pid[$name]"
  done
  return 0
}

BG_SCRIPT=${BG_SCRIPT:-$(basename "$0")}
