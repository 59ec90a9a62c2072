#!/usr/bin/env bash
# Runs one libFuzzer target from its seed corpus:
#   scripts/fuzz.sh TARGET [SECONDS]     (default 600 seconds)
# TARGET is a file name of tests/fuzz/ without .cpp (fuzz_zrp, fuzz_profile,
# ...). The instrumented build goes to build-fuzz/ (made on first use, with
# clang). New inputs the run finds are kept in build-fuzz/corpus/TARGET, so
# the seeds in tests/fuzz/corpus/TARGET stay as committed; a crash, a leak,
# undefined behaviour or a timeout stops the run and leaves its input as
# build-fuzz/findings/TARGET-*. The last lines of the log give the figures
# (executions, coverage, corpus size).
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-600}
seeds="tests/fuzz/corpus/$target"
[ -f "tests/fuzz/$target.cpp" ] || { echo "no such target: tests/fuzz/$target.cpp" >&2; exit 2; }
[ -d "$seeds" ] || { echo "no seed corpus: $seeds" >&2; exit 2; }

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZUMORIA_FUZZ=ON -DZUMORIA_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
nice cmake --build build-fuzz --target "$target"

work="build-fuzz/corpus/$target"
findings="build-fuzz/findings"
mkdir -p "$work" "$findings"
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp"
exec nice "build-fuzz/tests/fuzz/$target" "$work" "$seeds" \
  -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$findings/$target-"
