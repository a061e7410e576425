#!/usr/bin/env bash
# Builds a small C project against the installed CMake package as its user
# would, with morvex_embed() for byte units 1 and 4 and an empty file, runs
# it and compares what it prints with the file; then changes the file and
# checks that the next build embeds the new bytes, and that a build with
# nothing changed runs nothing.
# Usage: check-embed.sh <build-dir>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/root" >/dev/null
project=$work/project
mkdir -p "$project"
cat >"$project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(embed_check LANGUAGES C)
find_package(Morvex REQUIRED)
add_executable(show main.c)
target_compile_options(show PRIVATE -Wall -Wextra -Wpedantic -Werror)
morvex_embed(show NAME blob FILE data/blob.bin)
morvex_embed(show NAME words FILE data/blob.bin BYTE_UNIT 4 ALIGN 16)
morvex_embed(show NAME nothing FILE data/empty.bin)
CMAKE
cat >"$project/main.c" <<'C'
#include <stdint.h>
#include <stdio.h>

#include "blob.h"
#include "nothing.h"
#include "words.h"

int main(void)
{
    printf("size %zu %zu\nbytes", blob_size, nothing_size);
    for (size_t i = 0; i < blob_size; ++i)
        printf(" %02x", blob[i]);
    printf("\nwords");
    for (size_t i = 0; i < (words_size + 3) / 4; ++i)
        printf(" %08lx", (unsigned long)words[i]);
    printf("\naligned %d\n", (int)((uintptr_t)words % 16 == 0));
    return 0;
}
C
mkdir -p "$project/data"
: >"$project/data/empty.bin"

# What the program must print for the file: its bytes, and its little-endian
# 32-bit words with the last one padded with zero bytes.
expected() {
    local file=$1 size padded
    size=$(stat -c %s "$file")
    padded=$work/padded.bin
    cp "$file" "$padded"
    truncate -s $(((size + 3) / 4 * 4)) "$padded"
    echo "size $size 0"
    echo "bytes$(od -An -v -tx1 "$file" | xargs -r printf ' %s')"
    echo "words$(od -An -v -tx4 --endian=little "$padded" | xargs -r printf ' %s')"
    echo "aligned 1"
}

build_and_compare() {
    cmake --build "$work/out" >"$work/build.log" 2>&1 || fail "build: $(cat "$work/build.log")"
    "$work/out/show" >"$work/shown.txt"
    expected "$project/data/blob.bin" >"$work/expected.txt"
    diff "$work/expected.txt" "$work/shown.txt" >&2 || fail "$1: the program does not show the file"
}

# Bytes that a text conversion could mangle: NUL, CR LF, Ctrl-Z, 0xFF, and a
# size that leaves a short last word.
printf '\000\001\r\n\032\377ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789' >"$project/data/blob.bin"
cmake -S "$project" -B "$work/out" -DCMAKE_PREFIX_PATH="$work/root" >"$work/configure.log" 2>&1 ||
    fail "configure: $(cat "$work/configure.log")"
build_and_compare "first build"

cmake --build "$work/out" >"$work/build.log" 2>&1
if grep -q 'Embedding' "$work/build.log"; then fail "a build with nothing changed embedded again"; fi

# Touched, the file is embedded again; changed, its new bytes are.
touch "$project/data/blob.bin"
cmake --build "$work/out" >"$work/build.log" 2>&1
grep -q 'Embedding data/blob.bin as words' "$work/build.log" || fail "touching the file did not embed it again"
printf 'changed contents\n' >"$project/data/blob.bin"
build_and_compare "after the file changed"

grep -q "^#include \"blob.inc\"" "$work/out/morvex_embed/show/blob.c" || fail "items not included"
[ -z "$(find "$project" -newer "$project/main.c" ! -path "$project/data*" -type f)" ] ||
    fail "the build wrote into the project's sources"
# Calls that would give code that does not compile, or the wrong element
# type, stop when the project is configured.
mkdir -p "$work/bad"
for call in 'NAME 1st FILE blob.bin' 'NAME w FILE blob.bin BYTE_UNIT 3' \
    'NAME w FILE blob.bin BYTE_UNIT 4 ALIGN 2' 'NAME w FILE blob.bin ALIGN 24'; do
    printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(bad LANGUAGES C)' \
        'find_package(Morvex REQUIRED)' 'add_executable(show main.c)' \
        "morvex_embed(show $call)" >"$work/bad/CMakeLists.txt"
    if cmake -S "$work/bad" -B "$work/bad/out" -DCMAKE_PREFIX_PATH="$work/root" >"$work/bad.log" 2>&1 ||
        ! grep -q 'morvex_embed: ' "$work/bad.log"; then
        fail "morvex_embed($call) was not refused: $(cat "$work/bad.log")"
    fi
    rm -rf "$work/bad/out"
done
echo "embed OK"
