#!/usr/bin/env bash
# Line and branch coverage of the engine (fileio/, codec/) by the unit tests:
# builds an instrumented tree (GCC --coverage, no optimisation), runs the
# tests labelled unit and prints gcovr's summary per file and in all.
#
#   scripts/coverage.sh [BUILD_DIR]     default build-coverage
#
# Not part of ./test.sh: a third full build of the tests for a figure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-coverage}

if ! command -v gcovr >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: gcovr" >&2
    $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
        gcovr >&2
fi

# Atomic counters: the reader, the writer and the split scanner count from
# two threads, and plain counters then lose updates and go negative, which
# gcov cannot read.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DMORVEX_GUI=OFF \
    -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage
cmake --build "$build" -j "$(nproc)"
# Counts from an earlier run would add up with this one's.
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -L unit -j "$(nproc)" --output-on-failure

# CMake's compiler probe is no source of ours. Throw branches and those the
# compiler adds for itself are not decisions of the code; left in, they drown
# the branch figure.
report() {
    # Counts are searched for in the build folder only: the Windows build's
    # wine prefix maps the whole file system below the source tree.
    gcovr --root . --object-directory "$build" "$build" --filter 'fileio/' --filter 'codec/' \
        --exclude-directories '.*CompilerId.*' --exclude-throw-branches --exclude-unreachable-branches -j "$(nproc)" "$@"
}
echo "Lines, per file:"
report --sort-percentage --txt
echo "Branches, per file:"
report --sort-percentage --txt --branches
echo "fileio/ and codec/ by the unit tests:"
report --print-summary --txt "$build/coverage.txt"
