#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"

# The engine and the command line again under AddressSanitizer and
# UndefinedBehaviorSanitizer, every test.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_SANITIZE=ON -DMORVEX_GUI=OFF
cmake --build build-asan -j "$(nproc)"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

# A short fuzz run of the engine; scripts/fuzz.sh runs longer by hand.
scripts/fuzz.sh 25
