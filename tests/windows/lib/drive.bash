# Driving one run of the game through its menus in a real window, the same way for the Linux
# build and for the Windows build under Wine, so that their pictures and files can be compared.
# Sourced after tests/e2e/lib/session.bash (fail, $work, DISPLAY set).

# shoot NAME: the window's picture as $work/NAME.png (its 800 x 600 client area).
shoot() {
  import -window "$window" "$work/$1.png" 2>/dev/null
}

# Number of pixels that differ between two pictures (ImageMagick's AE; 0: identical).
pixels_differing() {
  compare -metric AE "$1" "$2" null: 2>&1 | awk '{print int($1)}'
}

# Root mean square difference of two pictures, 0 (same) to 1.
rmse() {
  compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'
}

not_black() {
  local mean
  mean=$(convert "$1" -format '%[fx:mean]' info: 2>/dev/null)
  [ -n "$mean" ] && awk "BEGIN {exit !($mean > 0)}"
}

# wait_steady NAME SECONDS: waits until the picture is not black and stays the same for half a
# second (a screen that has finished drawing in: the main menu after the intro), keeping it as
# $work/NAME.png. Fails after SECONDS.
wait_steady() {
  local deadline=$((SECONDS + $2)) previous=""
  while [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended early: $(tail -n 20 "$work/game.log")"
    shoot "$1.next"
    if not_black "$work/$1.next.png"; then
      if [ -n "$previous" ] && [ "$(pixels_differing "$previous" "$work/$1.next.png")" = 0 ]; then
        mv "$work/$1.next.png" "$work/$1.png"
        return 0
      fi
      cp "$work/$1.next.png" "$work/$1.prev.png"
      previous="$work/$1.prev.png"
    fi
    sleep 0.5
  done
  fail "the picture never came to rest within $2 s (see $1.next.png)"
}

# wait_change NAME REFERENCE SECONDS: waits until the picture differs from REFERENCE (a png)
# in more than 1000 pixels, keeping it as $work/NAME.png.
wait_change() {
  local deadline=$((SECONDS + $3))
  while [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended early: $(tail -n 20 "$work/game.log")"
    shoot "$1"
    [ "$(pixels_differing "$2" "$work/$1.png")" -gt 1000 ] && return 0
    sleep 0.3
  done
  fail "the picture did not change within $3 s (see $1.png)"
}

# wait_exit SECONDS: waits for the program to end with status 0.
wait_exit() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$game_pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the program is still running after $1 s"
    sleep 0.2
  done
  local status=0
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" = 0 ] || fail "the program ended with status $status: $(tail -n 20 "$work/game.log")"
}

press() {
  xdotool windowfocus "$window" 2>/dev/null || true
  xdotool key --delay 100 "$@"
}

# play_session PREFIX: with the program started ($game_pid) and its window found ($window):
# the main menu after the intro ($work/PREFIX-menu.png), Down (to "New game") and Enter to
# start a game whose picture changes (PREFIX-play1.png, PREFIX-play2.png), Esc and Yes to end it, the main menu
# again, then Esc and Enter (Yes) to leave the program, which must end with status 0.
play_session() {
  wait_steady "$1-menu" 60
  press Down
  wait_steady "$1-menu-new-game" 30
  press Return
  wait_change "$1-play1" "$work/$1-menu-new-game.png" 30
  wait_change "$1-play2" "$work/$1-play1.png" 30
  # Esc asks "Exit game?" only in play proper, not under the level's opening label (2 s).
  sleep 4
  press Escape
  wait_steady "$1-question" 30
  press Left Return
  wait_steady "$1-menu-again" 30
  press Escape
  wait_steady "$1-exit-question" 30
  press Return
  wait_exit 30
}
