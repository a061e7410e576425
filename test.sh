#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#
#   ./test.sh            every stage, as CI runs it
#   ./test.sh --linux    every Linux stage; the Windows one is skipped
set -euo pipefail
cd "$(dirname "$0")"
windows=true
case "${1:-}" in
    "") ;;
    --linux) windows=false ;;
    *) echo "usage: ./test.sh [--linux]" >&2; exit 2 ;;
esac
scripts/install-deps.sh
# Every source formatted as .clang-format says (scripts/check-format.sh --fix formats them).
scripts/check-format.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMORVEX_GUI=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"
# A destination replaced just before a crash keeps the new content (root only).
tests/cli/check-crash-durability.sh build/app/morvex

# The engine and the command line again under AddressSanitizer and
# UndefinedBehaviorSanitizer, every test.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_SANITIZE=ON -DMORVEX_GUI=OFF
cmake --build build-asan -j "$(nproc)"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

# The engine, the command line and its end-to-end tests under ThreadSanitizer:
# the reader, the writer and the split scanner run threads. The writer table
# and the 100 MiB inputs are left out; they run no thread of their own.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_TSAN=ON -DMORVEX_GUI=OFF
cmake --build build-tsan -j "$(nproc)"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -L "unit|e2e" \
    -E "ByteItemWriter|ExtremeInput"

# A short fuzz run of the engine; scripts/fuzz.sh runs longer by hand.
mkdir -p build-fuzz
if ! scripts/fuzz.sh 25 >build-fuzz/run.log 2>&1; then
    tail -n 60 build-fuzz/run.log
    echo "fuzz run failed; the whole log is build-fuzz/run.log" >&2
    exit 1
fi
grep -E '^Done [0-9]+ runs' build-fuzz/run.log

if ! $windows; then
    echo "test.sh: build, tests, sanitizer tests and fuzz run passed; the Windows stage was skipped"
    exit 0
fi

# The Windows program, its tests and its installer, cross-built and run under
# wine: all of them under a Korean locale, whose code page is not UTF-8, and
# the file-name and command-line tests once more under a UTF-8 one.
scripts/build-windows.sh build-windows
if ! locale -a | grep -qix 'ko_KR.utf8'; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi
# wine 8 now and then fails a start or a window before the program runs a line
# of its own (most of all on a loaded machine); a test that fails so is run
# again, and one that fails three times fails the run.
LANG=ko_KR.UTF-8 ctest --test-dir build-windows --output-on-failure -j 2 --repeat until-pass:3 -LE utf8
LANG=C.UTF-8 ctest --test-dir build-windows --output-on-failure -j 2 --repeat until-pass:3 -L utf8

echo "test.sh: build, tests, sanitizer tests, fuzz run and Windows tests all passed"
