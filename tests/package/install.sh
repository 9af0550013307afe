#!/usr/bin/env bash
# The Debian packages, end to end: build them from the build folder with cpack, check them
# with lintian (no errors), install them with apt-get, start /usr/games/starmoat under Xvfb from a
# fresh home folder as its working folder, see frames and the window's icon, leave through
# "Exit" and "Yes", and check that Config.cfg went to ~/.local/share/starmoat/ and that nothing
# under /usr changed. When the build has the score server, its package starmoat-scores is
# installed too and must bring its systemd unit without enabling or starting it. The packages
# are removed again, also when a step fails.
#
# Usage: install.sh <build dir> [screenshot folder]
# Needs root (apt-get); as another user it is skipped (exit status 77) and says why.
set -u

build_dir=$(cd "${1:?usage: install.sh <build dir> [screenshot folder]}" && pwd)
shots=${2:-}
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root (CI runs as root)"
for tool in cpack lintian apt-get dpkg-shlibdeps Xvfb xdotool xprop import convert flock; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh lists it)"
done
[ -f "$build_dir/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build_dir"

# One run at a time on this machine: two would install and remove the same package under
# each other.
exec 9>/tmp/starmoat-package-test.lock
flock -w 900 9 || fail "another package test held the lock for 15 minutes"
for package in starmoat starmoat-scores; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    skip "a $package package is installed already; this test would replace and remove it"
  fi
done

work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid=""
game_pid=""
installed=""
packages=(starmoat)
cleanup() {
  [ -n "$shots" ] && mkdir -p "$shots" && cp "$work"/*.png "$shots"/ 2>/dev/null
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  if [ -n "$installed" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 \
      "${packages[@]}" >"$work/purge.log" 2>&1 || cat "$work/purge.log" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/../e2e/lib/session.bash"

# The package, from what the build folder has built.
(cd "$build_dir" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
deb=$(ls "$work"/pkg/starmoat_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "cpack made no starmoat_*.deb: $(ls "$work/pkg")"
echo "package: $(basename "$deb"), depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0' ||
  fail "the dependencies were not read from the executable: $(dpkg-deb -f "$deb" Depends)"

debs=("$deb")
scores_deb=$(ls "$work"/pkg/starmoat-scores_*.deb 2>/dev/null | head -n1)
if [ -n "$scores_deb" ]; then
  debs+=("$scores_deb")
  packages+=(starmoat-scores)
  echo "package: $(basename "$scores_deb"), depends: $(dpkg-deb -f "$scores_deb" Depends)"
else
  echo "no starmoat-scores package: this build has no score server executable"
fi

for d in "${debs[@]}"; do
  lintian --fail-on error "$d" >"$work/lintian.log" 2>&1 ||
    fail "lintian reports errors on $(basename "$d"): $(cat "$work/lintian.log")"
  echo "lintian $(basename "$d"): $(grep -c '^E:' "$work/lintian.log") errors," \
    "$(grep -c '^W:' "$work/lintian.log") warnings"
done

# Everything under /usr with its time and size, before the program runs.
usr_listing() { find /usr -xdev -printf '%p %T@ %s\n' | sort; }

installed=yes
# Without the recommended xdg-utils: everything the test needs is installed already, so apt
# has nothing to fetch.
local_debs=()
for d in "${debs[@]}"; do local_debs+=("./$(basename "$d")"); done
(cd "$work/pkg" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  -o DPkg::Lock::Timeout=300 "${local_debs[@]}") >"$work/install.log" 2>&1 ||
  fail "apt-get install failed: $(cat "$work/install.log")"
exe=/usr/games/starmoat
[ -x "$exe" ] || fail "no $exe after installing"

# The command line.
version=$("$exe" --version) || fail "--version ended with status $?"
echo "$version" | grep -qx "starmoat [0-9.]*" || fail "--version printed '$version'"
# The packages carry the version the programs print.
for d in "${debs[@]}"; do
  [ "$(dpkg-deb -f "$d" Version)" = "${version#starmoat }" ] ||
    fail "$(basename "$d") has version $(dpkg-deb -f "$d" Version), the game says '$version'"
done
"$exe" --help | head -n1 | grep -q '^Usage: starmoat' || fail "--help prints no usage line"
status=0
"$exe" --no-such-option >"$work/bad.out" 2>"$work/bad.err" || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, expected 2"
grep -q '^Usage: starmoat' "$work/bad.err" || fail "no usage line on stderr for an unknown option"
[ -s "$work/bad.out" ] && fail "an unknown option printed on stdout"

usr_listing >"$work/usr-before"

# A player's first start: a fresh home folder, which is also the working folder.
home=$work/home
mkdir -p "$home"
start_xvfb
(cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" SDL_AUDIODRIVER=dummy "$exe") \
  >"$work/game.log" 2>&1 &
game_pid=$!
find_window "$game_pid" "$work/game.log"
wait_frames installed-game

# The window carries the icon: 128 x 128 pixels, the same picture as the installed 128 px icon.
xprop -id "$window" -notype 32c _NET_WM_ICON >"$work/icon.prop" 2>&1 ||
  fail "no _NET_WM_ICON on the window: $(cat "$work/icon.prop")"
read -r icon_w icon_h < <(sed 's/^[^=]*= *//' "$work/icon.prop" | tr -d ',' | awk '{print $1, $2}')
[ "$icon_w" = 128 ] && [ "$icon_h" = 128 ] || fail "window icon is ${icon_w}x${icon_h}, expected 128x128"
sed 's/^[^=]*= *//' "$work/icon.prop" | tr ',' '\n' | tail -n +3 |
  awk '{v = $1 + 0; printf "%d %d %d %d\n", int(v / 65536) % 256, int(v / 256) % 256, v % 256, int(v / 16777216) % 256}' \
  >"$work/icon-window.txt"
convert /usr/share/icons/hicolor/128x128/apps/starmoat.png -depth 8 txt:- |
  awk -F'[(),]' 'NR > 1 {print $3 + 0, $4 + 0, $5 + 0, $6 + 0}' >"$work/icon-file.txt"
differing=$(paste -d' ' "$work/icon-window.txt" "$work/icon-file.txt" | awk '
  { n++; if ($1 != $5 || $2 != $6 || $3 != $7 || $4 != $8) d++ }
  END { print (n == 16384 ? d + 0 : "count " n) }')
[ "$differing" = 0 ] || fail "the window's icon is not the installed 128 px icon ($differing pixels differ)"
echo "window icon: 128x128, the installed icon"

quit_through_exit "$game_pid"
game_pid=""

cfg=$home/.local/share/starmoat/Config.cfg
[ -f "$cfg" ] || fail "no $cfg; the home folder holds: $(cd "$home" && find . | head -20)"
size=$(stat -c %s "$cfg")
[ "$size" -eq 145 ] || fail "Config.cfg has $size bytes, expected 145"
[ -e "$home/Config.cfg" ] && fail "Config.cfg was also written to the working folder"
echo "settings: $cfg ($size bytes)"

usr_listing >"$work/usr-after"
if ! diff "$work/usr-before" "$work/usr-after" >"$work/usr.diff"; then
  fail "the program changed files under /usr: $(head -20 "$work/usr.diff")"
fi
echo "/usr: no file added, removed or changed while the game ran ($(wc -l <"$work/usr-after") entries compared)"

if [ -n "$scores_deb" ]; then
  unit=/usr/lib/systemd/system/starmoat-scores.service
  [ -f "$unit" ] || fail "no $unit after installing starmoat-scores"
  /usr/bin/starmoat-scores --version >/dev/null || fail "starmoat-scores --version failed"
  grep -qx 'StateDirectory=starmoat-scores' "$unit" || fail "the unit has no state folder of its own"
  if command -v systemd-analyze >/dev/null; then
    systemd-analyze verify "$unit" || fail "systemd-analyze rejects $unit"
  else
    echo "(systemd-analyze is not installed here: the unit's syntax is not verified)"
  fi
  # Not started: the state folder is made on the first start. Not enabled: no wants link.
  [ -e /var/lib/starmoat-scores ] && fail "the install started the score server"
  ls /etc/systemd/system/*.wants/starmoat-scores.service >/dev/null 2>&1 &&
    fail "the install enabled the score server"
  echo "starmoat-scores: unit installed, neither enabled nor started"
fi

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 "${packages[@]}" \
  >"$work/purge.log" 2>&1 || fail "removing the packages failed: $(cat "$work/purge.log")"
installed=""
[ -e "$exe" ] && fail "$exe is still there after removing the package"
[ -e /usr/share/games/starmoat ] && fail "/usr/share/games/starmoat is still there after removing the package"
echo "PASS"
