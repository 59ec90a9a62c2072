#!/usr/bin/env bash
# Runs a command against a private PulseAudio server with a null sink on a
# socket of its own (PULSE_SERVER points there), then stops the server.
# Exits 77 (ctest: skipped) when no server can be started here.
set -u
dir=$(mktemp -d)
server=
keepalive=
cleanup() {
  for pid in $keepalive $server; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$dir"
}
trap cleanup EXIT

if ! command -v pulseaudio >/dev/null; then
  echo "skipped: pulseaudio is not installed"
  exit 77
fi
# Keep the server away from the user's own configuration and runtime folder.
HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config" \
  timeout 300 pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
    --use-pid-file=no --log-target=stderr \
    --load="module-null-sink sink_name=fake" \
    --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    >"$dir/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  [ -S "$dir/native" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$dir/native" ]; then
  echo "skipped: the sound server did not start"
  cat "$dir/server.log"
  exit 77
fi
export PULSE_SERVER="unix:$dir/native"
# An idle null sink renders in blocks of two seconds, so every sound would
# wait that long for its end; a stream of silence keeps the sink at a short
# latency, as a desktop's sink is.
if command -v pacat >/dev/null; then
  pacat --raw --latency-msec=20 /dev/zero 2>/dev/null &
  keepalive=$!
fi
"$@"
