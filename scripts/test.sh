#!/usr/bin/env bash
# Installs what is needed, builds Zumoria and its benchmarks (built, not
# run, so they keep building) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DZUMORIA_BENCH=ON
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
