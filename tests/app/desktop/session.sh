# Sourced by the desktop tests: a private X server with a real window manager
# (Xvfb + openbox) or a private Wayland compositor (weston, headless), and
# small helpers that wait for what the program does instead of sleeping.
# Several sessions run side by side: Xvfb picks a free display itself and
# each weston gets a runtime folder and socket of its own. Every process is
# started here and ended by its own id when the test ends.

SESSION_DIR=$(mktemp -d /tmp/zumoria-desktop.XXXXXX)
chmod 700 "$SESSION_DIR"
SESSION_PIDS=()

end_session() {
  # Only what still runs as a job of this shell: an id that was waited for
  # may belong to somebody else by now.
  local pid running
  running=" $(jobs -p | tr '\n' ' ') "
  for pid in "${SESSION_PIDS[@]}"; do
    [[ $running == *" $pid "* ]] && kill "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  rm -rf "$SESSION_DIR"
}
trap end_session EXIT

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAIL: $*"; FAILED=1; }
FAILED=0

# wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds.
wait_for() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  while [ "$SECONDS" -le "$end" ]; do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# Xvfb on a free display with openbox managing it; DISPLAY is set.
start_x11() {
  for tool in Xvfb openbox xdotool xprop xwininfo wmctrl; do
    command -v "$tool" >/dev/null || skip "needs $tool"
  done
  local fdfile="$SESSION_DIR/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >"$SESSION_DIR/xvfb.log" 2>&1 &
  SESSION_PIDS+=($!)
  wait_for 15 test -s "$fdfile" || skip "the X server did not start"
  export DISPLAY=":$(head -n 1 "$fdfile")" QT_QPA_PLATFORM=xcb
  openbox --sm-disable >"$SESSION_DIR/openbox.log" 2>&1 &
  SESSION_PIDS+=($!)
  # The window manager is there once it has named itself on the root window.
  wait_for 15 has_window_manager || skip "openbox did not start"
  # A session bus of its own, on which nobody offers a notification area.
  if command -v dbus-daemon >/dev/null; then
    dbus-daemon --session --nofork --address="unix:path=$SESSION_DIR/bus" >/dev/null 2>&1 &
    SESSION_PIDS+=($!)
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$SESSION_DIR/bus"
    wait_for 15 test -S "$SESSION_DIR/bus" || skip "the session bus did not start"
  else
    export DBUS_SESSION_BUS_ADDRESS=disabled:
  fi
}

has_window_manager() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# weston without any output device; WAYLAND_DISPLAY and XDG_RUNTIME_DIR set.
start_wayland() {
  command -v weston >/dev/null || skip "needs weston"
  export XDG_RUNTIME_DIR="$SESSION_DIR/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export WAYLAND_DISPLAY=zumoria-test
  weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
         --no-config >"$SESSION_DIR/weston.log" 2>&1 &
  SESSION_PIDS+=($!)
  wait_for 15 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || skip "weston did not start"
  unset DISPLAY
}

# A home of its own for the program: settings, caches and temporary files
# all land inside $SESSION_DIR/home.
private_home() {
  export HOME="$SESSION_DIR/home" XDG_CONFIG_HOME="$SESSION_DIR/home/.config"
  export TMPDIR="$SESSION_DIR/tmp"
  unset XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/Zumoria" "$TMPDIR"
  # A desktop session always has a runtime folder of its own.
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ "${XDG_RUNTIME_DIR#"$SESSION_DIR"}" = "$XDG_RUNTIME_DIR" ]; then
    export XDG_RUNTIME_DIR="$SESSION_DIR/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  fi
  INI="$XDG_CONFIG_HOME/Zumoria/Zumoria.ini"
}

# ini_value SECTION KEY: a value of the settings file.
ini_value() {
  awk -v s="[$1]" -v k="$2" '{sub(/\r$/,"")} /^\[/{sec=tolower($0)}
    sec==tolower(s) && index(tolower($0), tolower(k)"=")==1 {sub(/^[^=]*=/,""); print; exit}' "$INI"
}

# The main window's id ("Viccelődünk ..."), once it is mapped.
main_window() { xdotool search --onlyvisible --name '^Viccelődünk' 2>/dev/null | head -n 1; }

main_window_mapped() { [ -n "$(main_window)" ]; }
# The first visible window whose title matches the pattern, and the tests on it.
named_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_named_window() { [ -n "$(named_window "$1")" ]; }
no_named_window() { [ -z "$(named_window "$1")" ]; }
focus() { xdotool windowactivate --sync "$WIN" 2>/dev/null; }

# window_state ID: Normal, Iconic or Withdrawn, from the ICCCM WM_STATE.
window_state() {
  local s
  s=$(xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: \([A-Za-z]*\).*/\1/p')
  echo "${s:-Withdrawn}"
}
is_state() { [ "$(window_state "$1")" = "$2" ]; }

# frame ID: "left top width height" of the window manager's frame (its outer
# corner, as the settings file means Left and Top) and "client" WIDTH HEIGHT.
frame_of() {
  local l r t b
  read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')"
  xwininfo -id "$1" | awk -v l="${l:-0}" -v r="${r:-0}" -v t="${t:-0}" -v b="${b:-0}" '
    /Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width/{w=$NF} /^ *Height/{h=$NF}
    END{print x - l, y - t, w + l + r, h + t + b}'
}
client_size() { xwininfo -id "$1" | awk '/^ *Width/{w=$NF} /^ *Height/{h=$NF} END{print w, h}'; }

# Starts the program (arguments as given) in the background: $PROGRAM_PID,
# ended with the session when a test gives up on it. The sound server stays
# out of reach unless the test says otherwise.
start_program() {
  PULSE_SERVER="${PULSE_SERVER:-unix:$SESSION_DIR/no-sound-server}" "$PROGRAM" "$@" >>"$SESSION_DIR/program.log" 2>&1 &
  PROGRAM_PID=$!
  SESSION_PIDS=("$PROGRAM_PID" "${SESSION_PIDS[@]}")
}
program_ended() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }

# write_ini LINE...: the settings file the next start reads.
write_ini() { printf '%s\n' "$@" >"$INI"; }

# Starts the program (arguments as given) and waits for its main window: $WIN.
start_and_find() {
  start_program "$@"
  wait_for 30 main_window_mapped || { fail "the main window never appeared"; cat "$SESSION_DIR/program.log"; exit 1; }
  WIN=$(main_window)
}
