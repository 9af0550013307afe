#!/usr/bin/env bash
# tests/windows/run.sh BUILD_DIR [ctest options...]
# Runs the Windows build's tests (ctest in BUILD_DIR: the unit and scenario tests, the
# packages and the game's real window) under Wine, in one Wine prefix made for this run and on
# an Xvfb display of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: run.sh BUILD_DIR [ctest options...]}" && pwd)
shift

fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  stop_wine
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$here/../e2e/lib/session.bash"
. "$here/lib/wine.bash"

start_xvfb
start=$SECONDS
start_wine
echo "Wine prefix ready in $((SECONDS - start)) s"
cd "$build"
ctest --output-on-failure -j"${STARMOAT_JOBS:-$(nproc)}" -L windows "$@"
