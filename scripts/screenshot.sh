#!/usr/bin/env bash
# Produces the README's pictures: the main window on the sample collection,
# grabbed offscreen into docs/screenshot.png, and the print preview of its
# joke list into docs/preview.png; and the find bar on the real program under
# Xvfb and openbox into docs/find.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
cmake --build build --target screenshot
build/src/screenshot examples/Viccek.vicc docs/screenshot.png "${1:-0}"
build/src/screenshot --preview examples/Viccek.vicc docs/preview.png
ZUMORIA_FIND_SCREENSHOT="$PWD/docs/find.png" bash tests/app/reader/x11_reader.sh find_picture build/zumoria
echo docs/screenshot.png docs/preview.png docs/find.png
