# A Wine prefix of its own for a test run: sourced after tests/e2e/lib/session.bash, with
# fail() defined and the scratch folder $work made. start_wine makes the prefix (once: a run
# that finds WINEPREFIX set and booted reuses it), stop_wine ends its Wine processes.

export WINEDEBUG=-all
# No Mono or Gecko: nothing of ours needs them, and Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

start_wine() {
  if [ -n "${WINEPREFIX:-}" ] && [ -f "$WINEPREFIX/system.reg" ]; then
    wine_owned=""
    return 0
  fi
  export WINEPREFIX="$work/wineprefix"
  wine_owned=1
  # wineboot -i makes the prefix and returns once it is ready; -w waits for its helpers.
  timeout 600 wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 20 "$work/wineboot.log")"
  timeout 120 wineserver -w || true
  [ -f "$WINEPREFIX/system.reg" ] || fail "wineboot made no prefix: $(tail -n 20 "$work/wineboot.log")"
  # A server that stays up between programs: each Wine start then takes a fraction of a
  # second instead of several.
  wineserver -p
  # Wine's services (services.exe, winedevice, rpcss ...) start with the first program and
  # outlive it, holding on to its standard output: started here with none of a test's, so that
  # ctest and $(...) never wait for them to close it.
  timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  if [ -n "${wine_owned:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
  fi
}

# The prefix's path of a Windows folder, e.g. wine_path 'C:\Program Files'.
wine_path() { winepath -u "$1" 2>/dev/null; }
