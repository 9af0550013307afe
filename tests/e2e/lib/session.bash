# Shared by the real-window tests that start the program themselves (a copied game folder, the
# installed package): an Xvfb display, the program's window, frames in it, and the way out
# through the menus. Source it after defining fail() and making the scratch folder $work.

# Starts Xvfb on a display it picks itself, with a screen of $screen_size (default
# 1024x768); sets DISPLAY and xvfb_pid. Xvfb names the display only once it accepts clients,
# and it picks one whose socket it could really bind, which a guess from the files in /tmp
# cannot promise (another server's socket may live only in the abstract namespace).
# -noreset: by default the server resets when its last client leaves, and drops every
# connection still being set up; the program connecting just after the readiness probe below
# has gone would then find no display.
start_xvfb() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 "${screen_size:-1024x768}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
  # Xvfb names its display as soon as it listens, which can be before it serves a client;
  # a game started in that gap finds no display and falls back to an invisible one.
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "Xvfb on $DISPLAY does not answer: $(cat "$work/xvfb.log")"
}

# find_window PID LOG: sets window to the visible window "Starmoat", failing with the log
# when the program ends first or no window comes within 10 s.
find_window() {
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Starmoat$' 2>/dev/null | head -n1)
    [ -n "$window" ] && return 0
    kill -0 "$1" 2>/dev/null || fail "the program ended early: $(cat "$2")"
    sleep 0.1
  done
  fail "no window named Starmoat after 10 s: $(cat "$2")"
}

# wait_frames NAME: waits until the window's picture is no longer black and keeps it as
# $work/NAME.png.
wait_frames() {
  local mean
  for _ in $(seq 20); do
    import -window "$window" "$work/$1.png" 2>/dev/null
    mean=$(convert "$work/$1.png" -format '%[fx:mean]' info: 2>/dev/null)
    if [ -n "$mean" ] && awk "BEGIN {exit !($mean > 0)}"; then return 0; fi
    sleep 0.5
  done
  fail "the window shows no frames (every picture is black)"
}

# quit_through_exit PID: after the intro the main menu's highlight rests on "Exit"; Return
# chooses it, and Return again answers the question with the highlighted "Yes". Waits for the
# program to end and fails unless it ends with status 0.
quit_through_exit() {
  sleep 3
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key Return
  sleep 0.5
  import -window "$window" "$work/exit-question.png" 2>/dev/null
  kill -0 "$1" 2>/dev/null || fail "the program ended before the exit question was answered"
  xdotool key Return
  for _ in $(seq 50); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$1" 2>/dev/null && fail "the program is still running after Exit and Yes"
  wait "$1" || fail "the program ended with status $?"
}

# Number of bright green pixels (the labels' 00FF00, antialiased) in the rectangle x y w h of
# picture $work/<name>.png.
green_pixels() {
  convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[(),]' 'NR > 1 && $4 > 200 && $3 < 140 && $5 < 140 {n++} END {print n + 0}'
}

# Pixels of the panels' darker green text (228822) in the rectangle x y w h of picture <name>.
text_pixels() {
  convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[(),]' 'NR > 1 && $4 > 110 && $3 < 80 && $5 < 80 {n++} END {print n + 0}'
}

# http_get PATH: a GET to the score server on 127.0.0.1:$port without a client program (bash's
# /dev/tcp, one request per connection); prints the whole answer.
http_get() {
  exec 5<>"/dev/tcp/127.0.0.1/$port" || return 1
  printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' "$1" >&5
  cat <&5
  exec 5<&-
}
