#!/usr/bin/env bash
# The program on a Wayland compositor that does not let clients place their
# windows (weston, headless): the in-process test of the main window, then
# the real program started as a user starts it, until its window has drawn
# its first frame.
#   wayland_window.sh TEST-PROGRAM ZUMORIA JOKE-FILE
# Exits 77 (skipped) when weston or Qt's Wayland platform cannot start.
set -u
. "$(dirname "$0")/session.sh"
TEST_PROGRAM=$1 PROGRAM=$2 JOKES=$3
start_wayland
private_home
export QT_QPA_PLATFORM=wayland DBUS_SESSION_BUS_ADDRESS=disabled:
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforms/libqwayland-generic.so" ] || skip "needs Qt's Wayland platform (qt6-wayland)"

"$TEST_PROGRAM" || FAILED=1

# The real program: its window is up once it has attached a buffer to the
# surface titled "Viccelődünk ...". Every request it sends is logged.
printf '[Defaults]\nSound=0\n[Screen]\nLeft=300\nTop=200\n' >"$INI"
WAYLAND_DEBUG=client start_program "$JOKES"
drawn() { grep -q 'set_title("Viccelődünk' "$SESSION_DIR/program.log" && grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' "$SESSION_DIR/program.log"; }
wait_for 30 drawn || fail "the program's window never drew a frame"
program_ended && fail "the program ended by itself"
kill "$PROGRAM_PID"; wait "$PROGRAM_PID" 2>/dev/null
# Anything the program printed besides the protocol log is a complaint.
complaints=$(grep -v -E '^\[ *[0-9.]+\] ' "$SESSION_DIR/program.log" | grep -v '^ *$' || true)
[ -z "$complaints" ] || fail "the program printed: $complaints"

[ "$FAILED" = 0 ] || exit 1
echo "passed"
