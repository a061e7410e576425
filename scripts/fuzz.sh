#!/usr/bin/env bash
# Builds the engine's fuzz target with Clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time.
#
#   scripts/fuzz.sh [seconds]      default 60
#
# The committed seed corpus (tests/fuzz/corpus) is only read; inputs the run
# finds go to build-fuzz/corpus, a failing input to build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

compiler=$(command -v clang++-14 || command -v clang++ || true)
[ -n "$compiler" ] || { echo "fuzz: clang++ is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$compiler" \
        -DMORVEX_FUZZ=ON -DMORVEX_SANITIZE=ON -DMORVEX_TESTS=OFF -DMORVEX_GUI=OFF >&2
fi
cmake --build "$build" --target engine_fuzz -j 2 >&2

mkdir -p "$build/corpus" "$build/artifacts"
"$build/tests/fuzz/engine_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$build/corpus" tests/fuzz/corpus
