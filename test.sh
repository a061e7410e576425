#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMORVEX_GUI=ON
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"

# The engine and the command line again under AddressSanitizer and
# UndefinedBehaviorSanitizer, every test.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_SANITIZE=ON -DMORVEX_GUI=OFF
cmake --build build-asan -j "$(nproc)"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

# A short fuzz run of the engine; scripts/fuzz.sh runs longer by hand.
mkdir -p build-fuzz
if ! scripts/fuzz.sh 25 >build-fuzz/run.log 2>&1; then
    tail -n 60 build-fuzz/run.log
    echo "fuzz run failed; the whole log is build-fuzz/run.log" >&2
    exit 1
fi
grep -E '^Done [0-9]+ runs' build-fuzz/run.log
echo "test.sh: build, tests, sanitizer tests and fuzz run all passed"
