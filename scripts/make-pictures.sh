#!/usr/bin/env bash
# Redraws the program's own JPEG pictures (data/logo.jpg and the pictures of
# the sample collection in examples/) with the project's own drawing code.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
cmake --build build --target make_pictures
build/src/make_pictures "$PWD"
