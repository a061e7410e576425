#!/usr/bin/env bash
# Checks sources larger than 4 GiB, made as sparse files so that they take
# almost no disk: every offset past 2^32 must be read and converted.
#
#   bench/check-large-source.sh        (MORVEX_BUILD_DIR as for compare.sh)
#
# Exits non-zero when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${MORVEX_BUILD_DIR:-$root/build-bench}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVEX_TESTS=OFF >&2
fi
cmake --build "$build" --target morvex -j 2 >&2
morvex=$build/app/morvex

work=$(mktemp -d "${TMPDIR:-/tmp}/morvex-large.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
check() {
    local name=$1 expected=$2 actual=$3
    if [ "$expected" = "$actual" ]; then
        echo "ok: $name"
    else
        echo "FAILED: $name: expected '$expected', got '$actual'"
        failures=$((failures + 1))
    fi
}

four_gib=$((4 * 1024 * 1024 * 1024))

# Binary: 4 GiB of zeros (a hole), then ABCDE. Every byte is one item of five
# characters, with CR LF after every tenth.
truncate -s "$four_gib" big.bin
printf 'ABCDE' >> big.bin
items=$((four_gib + 5))
start=$(date +%s)
"$morvex" h big.bin /dev/stdout | tee >(wc -c > count) | tail -c 32 > tail
status=${PIPESTATUS[0]}
wait
check "h of a $(stat -c %s big.bin)-byte source exits 0" 0 "$status"
check "h writes every item" $((items * 5 + items / 10 * 2)) "$(cat count)"
check "h ends with the bytes past 4 GiB" "0x00,0x41,0x42,0x43,0x44,0x45," "$(tr -d '\r\n' < tail)"
echo "  (h of $((items / 1024 / 1024)) MiB through a pipe: $(($(date +%s) - start)) s)"
rm -f big.bin

# Text: 4 GiB of NUL bytes (separators), then two numbers.
truncate -s "$four_gib" big.txt
printf '0x41,0x42,' >> big.txt
start=$(date +%s)
check "b of a text larger than 4 GiB" "4142" "$("$morvex" b big.txt /dev/stdout | xxd -p)"
check "i of a text larger than 4 GiB" "0xBE,0xBD," "$("$morvex" i big.txt /dev/stdout)"
echo "  (b and i of 4 GiB of text: $(($(date +%s) - start)) s)"

[ "$failures" -eq 0 ] && echo "All large-source checks passed." || echo "$failures check(s) failed."
exit "$failures"
