#!/usr/bin/env bash
# cmake --install into a scratch prefix (no root needed): the game started from there finds its
# data under the prefix's share/games/starmoat by its own location, shows frames, is left
# through "Exit" and "Yes", and keeps Config.cfg in $XDG_DATA_HOME/starmoat; neither the
# prefix nor the working folder gets anything written.
# Usage: prefix.sh <build dir>
set -u

build_dir=$(cd "${1:?usage: prefix.sh <build dir>}" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh lists it)"
done

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/../e2e/lib/session.bash"

# An unusual prefix, to show that nothing depends on /usr.
prefix=$work/opt/starmoat-1
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"
for file in games/starmoat share/games/starmoat/Data/Data.pp share/games/starmoat/sound/1.xm \
            share/applications/starmoat.desktop share/icons/hicolor/256x256/apps/starmoat.png \
            share/man/man6/starmoat.6.gz; do
  [ -f "$prefix/$file" ] || fail "cmake --install did not install $file"
done
find "$prefix" -printf '%p %T@ %s\n' | sort >"$work/prefix-before"

mkdir -p "$work/run" "$work/home"
start_xvfb
(cd "$work/run" && exec env HOME="$work/home" XDG_DATA_HOME="$work/xdg" SDL_AUDIODRIVER=dummy \
  "$prefix/games/starmoat") >"$work/game.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/game.log"
wait_frames prefix-game
quit_through_exit "$game_pid"
game_pid=""

cfg=$work/xdg/starmoat/Config.cfg
[ -f "$cfg" ] || fail "no $cfg: $(cat "$work/game.log")"
[ "$(stat -c %s "$cfg")" -eq 145 ] || fail "Config.cfg has $(stat -c %s "$cfg") bytes, expected 145"
[ "$(stat -c %a "$work/xdg/starmoat")" = 700 ] || fail "the settings folder is open to others"
[ -z "$(ls -A "$work/run")" ] || fail "the working folder was written to: $(ls -A "$work/run")"
[ -e "$work/home/.local" ] && fail "settings went to ~/.local although XDG_DATA_HOME is set"
find "$prefix" -printf '%p %T@ %s\n' | sort >"$work/prefix-after"
diff "$work/prefix-before" "$work/prefix-after" >/dev/null || fail "the game wrote into its prefix"
echo "prefix $prefix: data found, settings in \$XDG_DATA_HOME/starmoat"
echo "PASS"
