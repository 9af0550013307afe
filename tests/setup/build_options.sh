#!/usr/bin/env bash
# The build options that choose what is built: with STARMOAT_BUILD_TESTS off (the packaging)
# the build has no test or benchmark target and no test, but the game and the score server;
# with STARMOAT_BUILD_SERVER off too (a new ./play folder) only the game; the tests without the
# server are refused with a reason. Each case configures a scratch build folder.
# Usage: build_options.sh <source dir>
set -u

src=${1:?usage: build_options.sh <source dir>}
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The targets a build folder configured with these options offers, one a line.
targets() {
  local dir=$work/build-$1
  shift
  if ! cmake -S "$src" -B "$dir" -G "Unix Makefiles" "$@" >"$dir.log" 2>&1; then
    fail "configuring with $* failed: $(tail -n 20 "$dir.log")"
    return
  fi
  cmake --build "$dir" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p' | sort
  # The test list of ctest, empty without tests.
  (cd "$dir" && ctest -N 2>/dev/null | sed -n 's/^Total Tests: //p') >"$dir.tests"
}
has() { grep -qx "$2" <<<"$1"; }

package=$(targets package -DSTARMOAT_BUILD_TESTS=OFF -DSTARMOAT_BUILD_SERVER=ON)
for t in starmoat starmoat-scores starmoat_packgen; do
  has "$package" "$t" || fail "tests off: no target $t"
done
for t in starmoat_tests starmoat_virtual_pad graphics_bench game_frame_bench present_bench score_fill \
  score_server_load world_table_load; do
  has "$package" "$t" && fail "tests off: the build still has the target $t"
done
tests=$(cat "$work/build-package.tests" 2>/dev/null)
[ "${tests:-0}" = 0 ] || fail "tests off: ctest still lists $tests tests"
grep -Eq '^(GTest_DIR|GTEST_[A-Z_]*|benchmark_DIR)[:=]' "$work/build-package/CMakeCache.txt" &&
  fail "tests off: the configure still looked for GoogleTest or Google Benchmark"
echo "tests off: $(wc -l <<<"$package") targets looked at"

game=$(targets game -DSTARMOAT_BUILD_TESTS=OFF -DSTARMOAT_BUILD_SERVER=OFF)
has "$game" starmoat || fail "game alone: no target starmoat"
has "$game" starmoat-scores && fail "game alone: the build still has starmoat-scores"
grep -Eq '^(SQLITE3|LIBPQ)_[A-Z_]*[:=]' "$work/build-game/CMakeCache.txt" &&
  fail "game alone: the configure still looked for the score server's libraries"
echo "game alone: starmoat without starmoat-scores"

dir=$work/build-refused
if cmake -S "$src" -B "$dir" -DSTARMOAT_BUILD_TESTS=ON -DSTARMOAT_BUILD_SERVER=OFF \
  >"$dir.log" 2>&1; then
  fail "tests without the server were configured"
elif ! grep -q 'STARMOAT_BUILD_TESTS=ON needs' "$dir.log"; then
  fail "tests without the server were refused without the reason: $(tail -n 5 "$dir.log")"
else
  echo "tests without the server: refused with the reason"
fi

[ "$failed" -eq 0 ] && echo "PASS"
exit "$failed"
