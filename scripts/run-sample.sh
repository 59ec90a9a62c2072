#!/usr/bin/env bash
# Installs what is needed, builds Zumoria and starts it on the sample collection.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'TXT'
Zumoria is built (build/zumoria), but this machine has no display to show its
window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a desktop session, or under a virtual X server:
  xvfb-run -a build/zumoria examples/Viccek.vicc
TXT
  exit 1
fi
exec build/zumoria examples/Viccek.vicc
