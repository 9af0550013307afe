#!/usr/bin/env bash
# What each script installs: ./play only what building and playing needs, ./serve that and the
# score server's libraries, ./package that and the packaging tools, ./test everything. Every
# library the built programs link is brought in by the script that builds them, and the faces
# the game package depends on come with ./play.
#
# The scripts are run as a user who has nothing installed (fake id and dpkg-query first in
# PATH), so they print the apt-get line they need and stop; a fake cmake and apt-get make sure
# nothing is built or installed should one of them go on.
# Usage: install_lists.sh <source dir> <starmoat> <starmoat_packgen> <starmoat-scores> <build dir>
set -u

usage="usage: install_lists.sh <source dir> <starmoat> <starmoat_packgen> <starmoat-scores> <build dir>"
src=${1:?$usage}
game=${2:?$usage}
packgen=${3:?$usage}
scores=${4:?$usage}
build_dir=${5:?$usage}
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for tool in id dpkg-query cmake apt-get sudo emcc; do
  cat >"$work/bin/$tool" <<TOOL
#!/bin/sh
case "$tool" in
  id) echo 1000 ;;
  dpkg-query) exit 1 ;;
  *) echo "FAKE $tool: must not run here" >&2; exit 99 ;;
esac
TOOL
  chmod +x "$work/bin/$tool"
done

# The packages a script asks for, one a line, sorted.
asks_for() {
  local status=0
  PATH="$work/bin:$PATH" "$src/$1" "${@:2}" >"$work/out" 2>"$work/err" </dev/null || status=$?
  if [ "$status" -ne 1 ] || grep -q FAKE "$work/err"; then
    fail "$1 $*: status $status, expected 1 after the apt-get line: $(cat "$work/err")"
  fi
  sed -n 's/^ *sudo apt-get install -y //p' "$work/err" | tr ' ' '\n' | sed '/^$/d' | sort -u
}
list() { (. "$src/tools/deps.sh" && starmoat_packages "$@") | sort -u; }
same() {  # what, expected, found
  if [ "$2" != "$3" ]; then
    fail "$1: expected [$(echo $2)], got [$(echo $3)]"
  else
    echo "ok: $1: $(echo "$3" | wc -l) packages"
  fi
}

play=$(list play)
server=$(list server)
test_only=$(list test)
same "./play" "$play" "$(asks_for play)"
# ./serve adds the browser game's build tools only where Emscripten is installed (the fake emcc
# on PATH here), and never when told to leave the browser game out.
same "./serve" "$(list play server webgame)" "$(asks_for serve)"
same "STARMOAT_WEB=off ./serve" "$(list play server)" "$(STARMOAT_WEB=off asks_for serve)"
same "./package deb" "$(list play server package)" "$(asks_for package deb)"
# ./test asks at once for all it installs, the Windows and browser steps' packages too.
same "./test" "$(list play server package test windows web)" "$(asks_for test)"

# The tools only the tests use are in the test list, and no other list has a test package.
for p in chromium postgresql lintian xvfb xdotool imagemagick xmp appstream x11-utils \
  desktop-file-utils libgtest-dev libgmock-dev libbenchmark-dev; do
  grep -qx "$p" <<<"$test_only" || fail "$p is not in the test list"
done
both=$(comm -12 <(echo "$test_only") <(list play server package))
[ -z "$both" ] || fail "test packages in the other lists: $(echo $both)"

# Every library a program links is one whose link-time file (lib*.so) a package of its lists
# installs, i.e. the lists hold its -dev package; that another package happens to pull the
# run-time library in does not count. The C and C++ run-time libraries come with the compiler.
dev_libraries() {  # list of packages -> the real files their lib*.so links lead to
  local p f
  for p in $1; do
    dpkg -L "$p" 2>/dev/null | grep '\.so$'
  done | while read -r f; do readlink -f "$f"; done | sort -u
}
links() {  # what, executable, lists
  local exe=$2 covered needed lib path owners pkg
  covered=$(dev_libraries "$(list "${@:3}")")
  needed=$(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  # Each needed library's file, as the loader finds it, and the package that owns it (one
  # dpkg -S for all: it reads every package's file list). The package may name the file by
  # the loader's path or, on a merged /usr, by the other one.
  declare -A file_of=() real_of=()
  for lib in $needed; do
    path=$(ldd "$exe" | awk -v l="$lib" '$1 == l {print $3}')
    [ -n "$path" ] || continue
    file_of[$lib]=$path
    real_of[$lib]=$(readlink -f "$path")
  done
  owners=$(dpkg -S "${file_of[@]}" "${real_of[@]}" 2>/dev/null)
  for lib in $needed; do
    path=${file_of[$lib]:-}
    [ -n "$path" ] || { fail "$1: $lib is not found"; continue; }
    pkg=$(awk -v f="$path" -v r="${real_of[$lib]}" '$NF == f || $NF == r {
      sub(/:.*/, "", $1); print $1; exit }' <<<"$owners")
    case $pkg in
      libc6 | libstdc++6 | libgcc-s1) continue ;;
    esac
    if grep -qxF "${real_of[$lib]}" <<<"$covered"; then
      echo "ok: $1 links $lib ($pkg)"
    else
      fail "$1 links $lib (${pkg:-no package}), whose -dev package is not in '${*:3}'"
    fi
  done
}
links starmoat "$game" play
links starmoat_packgen "$packgen" play
links starmoat-scores "$scores" play server

# The faces the game finds by name at run time, which its package depends on.
fonts=$(sed -n 's/^set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "\(.*\)")$/\1/p' \
  "$build_dir/CPackConfig.cmake" | tr ',' '\n' | sed 's/([^)]*)//; s/^ *//; s/ *$//')
[ -n "$fonts" ] || fail "no package dependencies of the game in $build_dir/CPackConfig.cmake"
for p in $fonts; do
  grep -qx "$p" <<<"$play" || fail "the game package depends on $p, which ./play does not install"
done

[ "$failed" -eq 0 ] && echo "PASS"
exit "$failed"
