#!/usr/bin/env bash
# Turns the results of a CMake project's configure checks into a file of presets for `cmake -C`:
#
#   tools/targets/check-presets.sh BUILD_DIR/CMakeCache.txt > PRESETS.cmake
#
# CMake's check modules (check_include_file, check_symbol_exists, check_c_source_compiles, ...)
# skip a check whose result variable is already set, so a configure given these presets runs
# none of them again. Through emcc each check is a whole compile and link of its own, seconds
# apiece; SDL2's 159 take minutes. A check the file does not name still runs as usual.
set -euo pipefail
cache=${1:?usage: check-presets.sh CMakeCache.txt}
[ -f "$cache" ] || { echo "check-presets.sh: no file $cache" >&2; exit 2; }

# The checks keep their result as an INTERNAL entry under a "//Have ..." or "//Test ..."
# line; other INTERNAL entries are CMake's own bookkeeping.
awk '
  /^\/\/(Have|Test) / { doc = substr($0, 3); next }
  doc != "" && /^[A-Za-z0-9_]+:INTERNAL=/ {
    name = $0; sub(/:INTERNAL=.*/, "", name)
    value = $0; sub(/^[^=]*=/, "", value)
    gsub(/"/, "\\\"", doc)
    printf "set(%s \"%s\" CACHE INTERNAL \"%s\")\n", name, value, doc
  }
  { doc = "" }
' "$cache" | LC_ALL=C sort
