#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one on its corpus
# fuzz/corpus/<name>/ for the given number of seconds (default 60). Fails on the first crash;
# the crashing input is left in build-fuzz/fuzz/ as crash-*.
#   fuzz/run.sh [seconds] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

GLYPHWERK_EXTRAS=fuzz scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGLYPHWERK_FUZZ=ON -DGLYPHWERK_GUI=OFF -DGLYPHWERK_BENCH=OFF >/dev/null
# Only the fuzz targets: the ordinary tests are built and run by the other build folders.
cmake --build build-fuzz --target fuzz_all

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for src in fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$src" .cpp)")
    done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for target in "${targets[@]}"; do
    corpus="fuzz/corpus/${target#fuzz_}"
    mkdir -p "$corpus"
    # New inputs go to a scratch folder, so the committed seeds stay small and chosen.
    scratch="build-fuzz/fuzz/corpus-${target#fuzz_}"
    mkdir -p "$scratch"
    echo "=== $target: $seconds s on $corpus ==="
    (cd build-fuzz/fuzz && "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
        -print_final_stats=1 "../../$scratch" "../../$corpus")
done
