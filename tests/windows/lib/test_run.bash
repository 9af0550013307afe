# Common start of the Windows real-window tests: fail(), a scratch folder $work, the display
# (the one tests/windows/run.sh started, or one of our own), the Wine prefix (likewise), and
# clean-up of everything started here. Sourced by tests/windows/*.sh.

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in Xvfb xdotool xwininfo import convert compare wine winepath unzip; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh lists it)"
done

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
window=""
_test_cleanup() {
  [ -n "${KEEP_SHOTS:-}" ] && mkdir -p "$KEEP_SHOTS" && cp "$work"/*.png "$KEEP_SHOTS"/ 2>/dev/null
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  stop_wine
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap _test_cleanup EXIT

_lib=$(dirname "${BASH_SOURCE[0]}")
. "$_lib/../../e2e/lib/session.bash"
. "$_lib/wine.bash"
. "$_lib/drive.bash"

[ -n "${DISPLAY:-}" ] || start_xvfb
start_wine

# client_size: the found window's size as WIDTHxHEIGHT.
client_size() {
  xwininfo -id "$window" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w "x" h}'
}
