#!/usr/bin/env bash
# Builds the engine's fuzz target with Clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time.
#
#   scripts/fuzz.sh [seconds]      default 60
#
# The C reader is held to its bound: no allocation past 64 MiB.
#
# The committed seed corpus (tests/fuzz/corpus) is only read; inputs the run
# finds go to build-fuzz/corpus, a failing input to build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

command -v clang++-14 >/dev/null || { echo "fuzz: clang++-14 is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
cmake --preset fuzz >&2
cmake --build --preset fuzz -j "$(nproc)" >&2

mkdir -p "$build/corpus" "$build/artifacts"
"$build/tests/fuzz/engine_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=512 -malloc_limit_mb=64 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$build/corpus" tests/fuzz/corpus
