#!/usr/bin/env bash
# One version everywhere: the game's and the score server's --version, the Debian packages, the
# AppStream release, the manual pages and the newest changelog entry all say the version that
# CMake's project() gives.
# Usage: version.sh <version> <starmoat> <starmoat-scores> <build dir> <packaging dir>
set -u

usage="usage: version.sh <version> <starmoat> <starmoat-scores> <build dir> <packaging dir>"
version=${1:?$usage}
game=${2:?$usage}
scores=${3:?$usage}
build_dir=${4:?$usage}
packaging=${5:?$usage}
failed=0
check() {  # what, found
  if [ "$2" = "$version" ]; then
    echo "ok: $1 says $2"
  else
    echo "FAIL: $1 says '$2', the project is $version" >&2
    failed=1
  fi
}

check "starmoat --version" "$("$game" --version | sed -n 's/^starmoat //p')"
check "starmoat-scores --version" "$("$scores" --version | sed -n 's/^starmoat-scores //p')"

# Both packages (components of one cpack run) get the package version unless a component
# sets its own.
cpack_config=$build_dir/CPackConfig.cmake
check "the packages' version" \
  "$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$cpack_config")"
own=$(grep -E '^set\(CPACK_DEBIAN_[A-Z_]*VERSION ' "$cpack_config")
[ -z "$own" ] || { echo "FAIL: a package sets its own version: $own" >&2; failed=1; }

# The newest release comes first.
check "the AppStream release" "$(grep -o -m1 '<release version="[^"]*"' \
  "$build_dir/packaging/org.starmoat.Starmoat.metainfo.xml" | sed 's/.*="\(.*\)"/\1/')"
for page in starmoat.6 starmoat-scores.1; do
  check "the manual page $page" \
    "$(sed -n '1s/^\.TH .*"Starmoat \([^"]*\)".*/\1/p' "$build_dir/packaging/$page")"
done
check "the newest changelog entry" "$(sed -n '1s/^starmoat (\(.*\)) .*/\1/p' "$packaging/changelog")"

[ "$failed" -eq 0 ] && echo "PASS"
exit "$failed"
