#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their own validators, and they agree with
# each other and with the icons the build draws.
# Usage: desktop_files.sh <packaging dir> <packaging build dir> <asset dir>
# (the build writes the metainfo, with the version, into the packaging build dir)
set -u

usage="usage: desktop_files.sh <packaging dir> <packaging build dir> <asset dir>"
packaging=${1:?$usage}
packaging_build=${2:?$usage}
assets=${3:?$usage}
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh lists it)"
done

desktop=$packaging/starmoat.desktop
metainfo=$(ls "$packaging_build"/*.metainfo.xml)
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
# --no-net: the screenshot's address is not fetched (tests have no network).
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

grep -qx 'Categories=Game;ArcadeGame;' "$desktop" || fail "the entry is not in Game;ArcadeGame;"
grep -q '<launchable type="desktop-id">starmoat.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch starmoat.desktop"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 48 128 256; do
  png=$assets/icons/hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || fail "no $png for Icon=$icon"
  geometry=$(identify -format '%wx%h %[channels]' "$png")
  case $geometry in
    "${size}x${size} srgba"*) ;;
    *) fail "$png is $geometry, expected ${size}x${size} with an alpha channel" ;;
  esac
done
echo "PASS"
