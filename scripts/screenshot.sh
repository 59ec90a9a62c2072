#!/usr/bin/env bash
# Produces the README's picture: the main window on the sample collection,
# grabbed offscreen into docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
cmake --build build --target screenshot
build/src/screenshot examples/Viccek.vicc docs/screenshot.png "${1:-0}"
echo docs/screenshot.png
