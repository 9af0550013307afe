#!/usr/bin/env bash
# The same replay plays the same game in the Linux build and in the Windows build under Wine:
# each build records autopilot games (short ones and a long one), then both play every
# recording back headless, and what they print (verdict, final score, frames, the fingerprint
# of the game state every 64 frames and at the end) must be the same, line for line, with
# every replay verified.
# Usage: replay_determinism.sh LINUX_REPLAY_FINGERPRINTS WINDOWS_REPLAY_FINGERPRINTS_EXE
set -u
linux_tool=${1:?usage: replay_determinism.sh LINUX_TOOL WINDOWS_TOOL_EXE}
windows_tool=${2:?usage: replay_determinism.sh LINUX_TOOL WINDOWS_TOOL_EXE}

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$linux_tool" ] ||
  fail "no $linux_tool: the Linux build (build/, with its tests) makes it: cmake --build build --target replay_fingerprints"
[ -f "$windows_tool" ] || fail "no $windows_tool"
linux_tool=$(realpath "$linux_tool")
windows_tool=$(realpath "$windows_tool")
command -v wine >/dev/null || fail "wine is not installed (tools/deps.sh lists it)"

work=$(mktemp -d)
. "$(dirname "$0")/lib/wine.bash"
trap 'stop_wine; rm -rf "$work"' EXIT
# The Wine prefix of tests/windows/run.sh when it runs us, else one of our own.
start_wine

mkdir "$work/replays"
# Seeds 1-6 give up at stage 2 (a few minutes of play each), seed 7 never gives up: the
# longest game, through the boss stages.
"$linux_tool" record "$work/replays" 1 2 3 4 5 6 7:255 || fail "the Linux build could not record"
# And the other way round: games the Windows build recorded, played back on Linux.
(cd "$work/replays" && wine "$windows_tool" record . 101 102 103:3 </dev/null) >"$work/recorded.raw" ||
  fail "the Windows build could not record: $(tr -d '\r' <"$work/recorded.raw")"
tr -d '\r' <"$work/recorded.raw"
files=$(cd "$work/replays" && ls seed-*.smr | sort)
[ "$(wc -w <<<"$files")" = 10 ] || fail "expected 10 replays, found: $files"

(cd "$work/replays" && "$linux_tool" show $files) >"$work/linux.txt"
linux_status=$?
(cd "$work/replays" && wine "$windows_tool" show $files </dev/null) >"$work/windows.raw"
windows_status=$?
tr -d '\r' <"$work/windows.raw" >"$work/windows.txt"

grep -v '^seed-[0-9]*\.smr [0-9f]' "$work/linux.txt"
[ "$linux_status" = 0 ] || fail "the Linux build refused a replay (status $linux_status)"
[ "$(grep -c ': verified,' "$work/linux.txt")" = 10 ] || fail "not every replay verified on Linux"
fingerprints=$(grep -c '^seed-[0-9]*\.smr [0-9]' "$work/linux.txt")
[ "$fingerprints" -gt 1000 ] || fail "only $fingerprints fingerprints: the games were too short to show anything"
if ! cmp -s "$work/linux.txt" "$work/windows.txt"; then
  diff "$work/linux.txt" "$work/windows.txt" | head -n 20 >&2
  fail "the Windows build plays the replays otherwise than the Linux build (status $windows_status)"
fi
[ "$windows_status" = 0 ] || fail "the Windows build ended with status $windows_status"
echo "PASS: 10 replays, $fingerprints fingerprints every 64 frames, the same in both builds"
