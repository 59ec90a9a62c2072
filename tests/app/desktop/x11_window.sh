#!/usr/bin/env bash
# The real program under a real X server and window manager (Xvfb + openbox),
# driven as a user drives it: the window manager's buttons and menus through
# xdotool and wmctrl, keys and clicks on the window, read back with xprop and
# xwininfo. Each case gets a session and a home of its own.
#   x11_window.sh CASE ZUMORIA JOKE-FILE [TRAY-TEST]
# Exits 77 (skipped) when the X server or the window manager cannot start.
set -u
. "$(dirname "$0")/session.sh"
CASE=$1 PROGRAM=$2 JOKES=$3 TRAY_TEST=${4:-}
start_x11
private_home

# Toolbar buttons, by the centre of their faces in the client area: the
# window design puts them at fixed places, 27 pixels apart.
OPEN_BUTTON="14 14" PRINT_BUTTON="99 14" ABOUT_BUTTON="306 14" TRAY_BUTTON="333 14"

# Closes the main window as the window manager's close button does and waits
# for the program to end.
close_and_wait() {
  wmctrl -i -c "$WIN"
  if ! wait_for 30 program_ended; then
    fail "the program still runs after its window was closed"
    kill "$PROGRAM_PID"
  fi
  wait "$PROGRAM_PID" 2>/dev/null
}

# The pointer comes to the button across the window at a hand's pace: right
# after a modal dialog Qt takes a press at a spot the pointer jumped to for
# no click.
click() {
  xdotool mousemove --window "$WIN" 200 200
  sleep 0.2
  xdotool mousemove --window "$WIN" $1
  sleep 0.2
  xdotool click 1
}
frame_is() { [ "$(frame_of "$WIN")" = "$1" ]; }

expect_state() { # WHAT STATE
  wait_for 10 is_state "$WIN" "$2" || fail "$1: the window is $(window_state "$WIN"), not $2"
}

# Without a notification area every way of putting the window away iconifies
# it, and the window list brings it back where it was.
case_minimise_and_esc() {
  write_ini '[Defaults]' 'Sound=0' '[Screen]' 'Left=40' 'Top=60'
  start_and_find "$JOKES"
  expect_state "started" Normal
  local where
  where=$(frame_of "$WIN")
  xdotool windowminimize "$WIN"
  expect_state "after the window manager's minimise" Iconic
  xdotool windowactivate "$WIN"
  expect_state "after activating it from the window list" Normal
  focus
  xdotool key Escape
  expect_state "after Esc" Iconic
  xdotool windowactivate "$WIN"
  expect_state "after activating it again" Normal
  focus
  click "$TRAY_BUTTON"
  expect_state "after the tray button" Iconic
  xdotool windowactivate "$WIN"
  expect_state "after the last activation" Normal
  wait_for 10 frame_is "$where" || fail "the window came back at $(frame_of "$WIN"), not $where"
  # Made narrower than 522 pixels by the window manager: the width stays.
  xdotool windowsize "$WIN" 400 500
  wait_for 10 client_height_is 500 || fail "the window manager did not resize the window"
  [ "$(client_size "$WIN")" = "522 500" ] || fail "resized to 400 x 500 it is $(client_size "$WIN")"
  close_and_wait
  [ "$(ini_value Screen Left) $(ini_value Screen Top) $(ini_value Screen Width) $(ini_value Screen Height)" = "40 60 522 500" ] ||
    fail "saved $(ini_value Screen Left) $(ini_value Screen Top) $(ini_value Screen Width) $(ini_value Screen Height), not 40 60 522 500"
}
client_height_is() { [ "$(client_size "$WIN" | cut -d' ' -f2)" = "$1" ]; }

# Twenty starts and closes: the frame stands at Left/Top every time and the
# file keeps the same bounds.
case_restart_cycles() {
  write_ini '[Defaults]' 'Sound=0' '[Screen]' 'Left=37' 'Top=53' 'Width=600' 'Height=450'
  local run saved
  for run in $(seq 20); do
    start_and_find "$JOKES"
    read -r x y _ _ <<<"$(frame_of "$WIN")"
    [ "$x $y" = "37 53" ] || fail "run $run: the frame stands at $x $y, not 37 53"
    [ "$(client_size "$WIN")" = "600 450" ] || fail "run $run: the client area is $(client_size "$WIN")"
    close_and_wait
    saved="$(ini_value Screen Left) $(ini_value Screen Top) $(ini_value Screen Width) $(ini_value Screen Height)"
    [ "$saved" = "37 53 600 450" ] || fail "run $run saved $saved"
    [ "$FAILED" = 0 ] && continue
    return
  done
}

# Bounds from a hand-edited file: the window opens on the screen, no larger
# than it, its title bar in reach; the file keeps the values until the close
# writes the real bounds.
case_absurd_bounds() {
  local bounds left top width height x y w h
  for bounds in "50000 -40000 100000 100000" "2147483647 -2147483648 -5 0x7fffffff" \
                "-3000 5000 800 600" "-450 -300 600 450"; do
    read -r left top width height <<<"$bounds"
    write_ini '[Defaults]' 'Sound=0' '[Screen]' "Left=$left" "Top=$top" "Width=$width" "Height=$height"
    start_and_find "$JOKES"
    wait_for 10 title_bar_in_reach || fail "$bounds: the frame stands at $(frame_of "$WIN")"
    read -r x y w h <<<"$(frame_of "$WIN")"
    { [ "$w" -le 1280 ] && [ "$h" -le 1024 ]; } || fail "$bounds: the frame is $w x $h, larger than the screen"
    [ "$(ini_value Screen Left) $(ini_value Screen Top) $(ini_value Screen Width) $(ini_value Screen Height)" = "$bounds" ] ||
      fail "$bounds: the file was changed before the close"
    read -r x y w h <<<"$(frame_of "$WIN")"
    read -r cw ch <<<"$(client_size "$WIN")"
    close_and_wait
    [ "$(ini_value Screen Left) $(ini_value Screen Top) $(ini_value Screen Width) $(ini_value Screen Height)" = "$x $y $cw $ch" ] ||
      fail "$bounds: the close saved $(ini_value Screen Left) $(ini_value Screen Top) $(ini_value Screen Width) $(ini_value Screen Height), not $x $y $cw $ch"
  done
  # A width below the minimum is refused; the height still applies.
  write_ini '[Defaults]' 'Sound=0' '[Screen]' 'Left=10' 'Top=10' 'Width=400' 'Height=600'
  start_and_find "$JOKES"
  [ "$(client_size "$WIN")" = "522 600" ] || fail "Width=400 Height=600 gave $(client_size "$WIN"), not 522 600"
  close_and_wait
}

# The frame's top edge on the screen, at least 100 pixels of its width too.
title_bar_in_reach() {
  local x y w h
  read -r x y w h <<<"$(frame_of "$WIN")"
  [ "$y" -ge 0 ] && [ "$y" -le $((1024 - 100)) ] && [ $((x + w)) -ge 100 ] && [ "$x" -le $((1280 - 100)) ]
}

# No sound server: the missing device is said once, in a box that comes
# after the window, and the program stays silent from then on.
case_no_sound_server() {
  write_ini '[Screen]' 'Left=40' 'Top=60'
  start_and_find "$JOKES"
  wait_for 20 has_named_window '^Zumoria V3$' || fail "no box says that there is no sound device"
  local box
  box=$(named_window '^Zumoria V3$')
  xdotool windowactivate --sync "$box" 2>/dev/null
  xdotool key Return
  wait_for 10 no_named_window '^Zumoria V3$' || fail "the box did not close"
  focus
  xdotool key alt+e alt+p alt+s # colour schemes, each with its sound
  focus
  xdotool key Escape
  expect_state "after Esc" Iconic
  xdotool windowactivate "$WIN"
  expect_state "after activating it" Normal
  no_named_window '^Zumoria V3$' || fail "a second box came up"
  # A box would hold the close back.
  close_and_wait
  [ "$(ini_value Screen Color)" = 4 ] || fail "the colour scheme keys did not reach the window"
}

# The program keeps no state but Zumoria.ini, dialogs and the preview of the
# joke list ("Események") included,
# and leaves no temporary file behind.
case_no_state_files() {
  write_ini '[Defaults]' 'Sound=0'
  local other="$SESSION_DIR/masik.vicc"
  cp "$JOKES" "$other"
  start_and_find "$JOKES"
  focus
  click "$OPEN_BUTTON"
  wait_for 20 has_named_window '^Viccelődjünk' || fail "the open dialog did not come up"
  xdotool windowactivate --sync "$(named_window '^Viccelődjünk')" 2>/dev/null
  xdotool key Escape
  wait_for 10 no_named_window '^Viccelődjünk' || fail "the open dialog did not close"
  focus
  click "$OPEN_BUTTON"
  wait_for 20 has_named_window '^Viccelődjünk' || fail "the open dialog did not come up again"
  xdotool windowactivate --sync "$(named_window '^Viccelődjünk')" 2>/dev/null
  xdotool type --delay 5 "$other"
  xdotool key Return
  wait_for 10 no_named_window '^Viccelődjünk' || fail "the open dialog did not take the file"
  focus
  click "$ABOUT_BUTTON"
  wait_for 20 has_named_window '^N.*vjegy$' || fail "the About window did not come up"
  wmctrl -i -c "$(named_window '^N.*vjegy$')"
  wait_for 10 no_named_window '^N.*vjegy$' || fail "the About window did not close"
  focus
  click "$PRINT_BUTTON"
  wait_for 30 has_named_window '^Esem.*nyek$' || fail "the preview did not come up"
  wmctrl -i -c "$(named_window '^Esem.*nyek$')"
  wait_for 10 no_named_window '^Esem.*nyek$' || fail "the preview did not close"
  close_and_wait
  [ "$(ini_value File File0)" = "$other" ] || fail "the file chosen in the dialog was not opened"
  local kept
  kept=$(cd "$HOME" && find . "$TMPDIR" -mindepth 1 ! -type d | sort)
  [ "$kept" = "./.config/Zumoria/Zumoria.ini" ] || fail "files left on disk: $(echo $kept)"
}

# The tray round trip with a notification area: the main window's tray test
# on a session bus, under the window manager.
case_tray_round_trip() {
  command -v dbus-run-session >/dev/null || skip "needs dbus-run-session"
  dbus-run-session -- "$TRAY_TEST" || FAILED=1
}

"case_$CASE"
[ "$FAILED" = 0 ] || { echo "program output:"; cat "$SESSION_DIR/program.log"; exit 1; }
echo "passed: $CASE"
