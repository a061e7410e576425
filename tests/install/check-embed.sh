#!/usr/bin/env bash
# Builds a small strict C11 project against the installed CMake package as
# its user would, with morvex_embed() called from a subdirectory for byte
# units 1, 4 and 8, ALIGN and an empty file, in every mode this machine's
# compilers have: runs it and compares what it prints with the file, checks
# that a build with nothing changed compiles nothing and that a changed file
# is embedded again. Then checks that calls that cannot work stop the
# configuration with a message.
# Usage: check-embed.sh <build-dir>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/root" >/dev/null
project=$work/project
mkdir -p "$project/data"
cat >"$project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(embed_check LANGUAGES C)
set(CMAKE_C_STANDARD 11)
set(CMAKE_C_EXTENSIONS OFF)
find_package(Morvex REQUIRED)
add_executable(show main.c clock.c)
target_compile_options(show PRIVATE -Wall -Wextra -Wpedantic -Werror)
add_subdirectory(data)
CMAKE
cat >"$project/data/CMakeLists.txt" <<'CMAKE'
morvex_embed(show NAME blob FILE blob.bin MODE ${EMBED_MODE})
morvex_embed(show NAME words FILE blob.bin BYTE_UNIT 4 ALIGN 64 MODE ${EMBED_MODE})
morvex_embed(show NAME time FILE blob.bin BYTE_UNIT 8 MODE ${EMBED_MODE})
morvex_embed(show NAME nothing FILE empty.bin BYTE_UNIT 4 MODE ${EMBED_MODE})
CMAKE
# The system's <time.h> must still be the one found beside morvex/time.h.
cat >"$project/clock.c" <<'C'
#include <time.h>

int year_of(void);

int year_of(void)
{
    struct tm moment = {0};
    moment.tm_year = 126;
    return moment.tm_year + 1900;
}
C
cat >"$project/main.c" <<'C'
#include <stdint.h>
#include <stdio.h>

#include "morvex/blob.h"
#include "morvex/nothing.h"
#include "morvex/time.h"
#include "morvex/words.h"

int year_of(void);

int main(void)
{
    printf("size %zu %zu %zu %zu\nbytes", blob_size, words_size, time_size, nothing_size);
    for (size_t i = 0; i < blob_size; ++i)
        printf(" %02x", blob[i]);
    printf("\nwords");
    for (size_t i = 0; i < (words_size + 3) / 4; ++i)
        printf(" %08lx", (unsigned long)words[i]);
    printf("\nquads");
    for (size_t i = 0; i < (time_size + 7) / 8; ++i)
        printf(" %016llx", (unsigned long long)time[i]);
    printf("\naligned %d\nyear %d\n", (int)((uintptr_t)words % 64 == 0), year_of());
    return 0;
}
C
: >"$project/data/empty.bin"

# What the program must print for the file: its bytes, and its little-endian
# 32- and 64-bit items with the last one padded with zero bytes.
items() {
    local file=$1 unit=$2 size padded=$work/padded.bin
    size=$(stat -c %s "$file")
    cp "$file" "$padded"
    truncate -s $(((size + unit - 1) / unit * unit)) "$padded"
    od -An -v -tx"$unit" --endian=little "$padded" | xargs -r printf ' %s'
}
expected() {
    local file=$1 size
    size=$(stat -c %s "$file")
    echo "size $size $size $size 0"
    echo "bytes$(od -An -v -tx1 "$file" | xargs -r printf ' %s')"
    echo "words$(items "$file" 4)"
    echo "quads$(items "$file" 8)"
    echo "aligned 1"
    echo "year 2026"
}

# Whether a C compiler takes #embed as C23; the oracle for what AUTO picks.
accepts_embed() {
    printf '%s\n' 'static const unsigned char probe[] = {' '#embed __FILE__ limit(1)' '};' \
        'int main(void) { return probe[0] == 0; }' >"$work/probe.c"
    command -v "$1" >/dev/null && "$1" -std=c23 -o "$work/probe" "$work/probe.c" 2>/dev/null
}

# Bytes that a text conversion could mangle: NUL, CR LF, Ctrl-Z, 0xFF, and a
# size that leaves short last items.
original() { printf '\000\001\r\n\032\377ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789' >"$project/data/blob.bin"; }

build_and_compare() {
    local out=$1 what=$2
    cmake --build "$out" >"$work/build.log" 2>&1 || fail "$what: build: $(cat "$work/build.log")"
    "$out/show" >"$work/shown.txt"
    expected "$project/data/blob.bin" >"$work/expected.txt"
    diff "$work/expected.txt" "$work/shown.txt" >&2 || fail "$what: the program does not show the file"
}

# One build of the project with compiler cc and MODE mode, whose sources
# must be made as made.
check_mode() {
    local cc=$1 mode=$2 made=$3 what="$1, MODE $2" out=$work/out-$1-$2
    original
    CC=$cc cmake -S "$project" -B "$out" -DCMAKE_PREFIX_PATH="$work/root" -DEMBED_MODE="$mode" \
        >"$work/configure.log" 2>&1 || fail "$what: configure: $(cat "$work/configure.log")"
    for name in blob words time nothing; do
        head -n 1 "$out/morvex_embed/show/$name.c" | grep -q "morvex_embed() ($made" ||
            fail "$what: $name is not made as $made"
    done
    build_and_compare "$out" "$what, first build"
    # Aligned by the object, not by chance: above what compilers give arrays.
    local align
    align=$(readelf -SW "$out/CMakeFiles/show.dir/morvex_embed/show/words.c.o" |
        awk '/\] \.rodata/ && $NF > max { max = $NF } END { print max + 0 }')
    [ "$align" -ge 64 ] || fail "$what: words is aligned to $align bytes, not 64"
    # The short last items are whole: read in full, they stay in the array.
    local bytes
    bytes=$(stat -c %s "$project/data/blob.bin")
    for symbol in words:4 time:8; do
        local name=${symbol%:*} unit=${symbol#*:} size
        size=$(nm -S --defined-only "$out/show" | awk -v name="$name" '$4 == name { print $2 }')
        [ -n "$size" ] && [ $((16#$size)) -ge $(((bytes + unit - 1) / unit * unit)) ] ||
            fail "$what: $name holds ${size:-no} bytes, fewer than its items"
    done

    cmake --build "$out" >"$work/build.log" 2>&1
    if grep -q 'Building' "$work/build.log"; then fail "$what: a build with nothing changed compiled"; fi
    touch "$project/data/blob.bin"
    cmake --build "$out" >"$work/build.log" 2>&1
    grep -q 'words\.c\.o' "$work/build.log" || fail "$what: touching the file did not build it again"
    printf 'changed contents\n' >"$project/data/blob.bin"
    build_and_compare "$out" "$what, after the file changed"

    # Strict C wants every file to end in a newline, the program's items too.
    while IFS= read -r -d '' file; do
        [ -z "$(tail -c 1 "$file")" ] || fail "$what: $file does not end in a newline"
    done < <(find "$out/morvex_embed" -type f -size +0 -print0)
}

auto=INCBIN
accepts_embed cc && auto=EMBED
check_mode cc AUTO "$auto"
check_mode cc ARRAY ARRAY
check_mode cc INCBIN INCBIN
# Clang with -pedantic also refuses a file without a newline at its end.
if command -v clang >/dev/null; then
    check_mode clang ARRAY ARRAY
    check_mode clang INCBIN INCBIN
fi
for cc in clang-19 clang-20 clang-21 clang-22 gcc-15 gcc-16; do
    if accepts_embed "$cc"; then
        check_mode "$cc" EMBED EMBED
        break
    fi
done
# Without C in the project, the sources are C++: what AUTO picks and ARRAY;
# from a folder whose name would end a comment and has a blank.
cxx=$work/cxx
odd="$cxx/odd *"
mkdir -p "$odd"
original
cp "$project/data/blob.bin" "$odd/blob.bin"
cat >"$cxx/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(embed_cxx LANGUAGES CXX)
find_package(Morvex REQUIRED)
add_executable(show main.cpp)
target_compile_options(show PRIVATE -Wall -Wextra -Wpedantic -Werror)
morvex_embed(show NAME halves FILE "$odd/blob.bin" BYTE_UNIT 2 ALIGN 8)
morvex_embed(show NAME listed FILE "$odd/blob.bin" BYTE_UNIT 2 MODE ARRAY)
CMAKE
cat >"$cxx/main.cpp" <<'CXX'
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "morvex/halves.h"
#include "morvex/listed.h"

int main()
{
    for (const std::uint16_t *items : {halves, listed}) {
        std::printf("halves");
        for (std::size_t i = 0; i < (halves_size + 1) / 2; ++i)
            std::printf(" %04x", items[i]);
        std::printf("\n");
    }
    std::printf("sizes %zu %zu aligned %d\n", halves_size, listed_size,
                int(reinterpret_cast<std::uintptr_t>(halves) % 8 == 0));
}
CXX
cmake -S "$cxx" -B "$cxx/out" -DCMAKE_PREFIX_PATH="$work/root" >"$work/configure.log" 2>&1 &&
    cmake --build "$cxx/out" >"$work/build.log" 2>&1 || fail "C++: $(cat "$work/configure.log" "$work/build.log")"
"$cxx/out/show" >"$work/shown.txt"
halves="halves$(items "$project/data/blob.bin" 2)"
printf '%s\n' "$halves" "$halves" "sizes 42 42 aligned 1" >"$work/expected.txt"
diff "$work/expected.txt" "$work/shown.txt" >&2 || fail "C++: the program does not show the file"

grep -q '^#include "blob.items"' "$work/out-cc-ARRAY/morvex_embed/show/blob.c" || fail "items not included"
[ -z "$(find "$project" -newer "$project/main.c" ! -path "$project/data*" -type f)" ] ||
    fail "the build wrote into the project's sources"

# Calls that would give code that does not compile, a symbol twice, the
# wrong element type or a header in place of the system's stop when the
# project is configured, with the reason.
bad=$work/bad
mkdir -p "$bad"
: >"$bad/main.c"
: >"$bad/blob.bin"
: >"$bad/q\"uote.bin"
calls=(
    'NAME 1st FILE blob.bin|is not a C identifier'
    'FILE blob.bin|NAME is missing'
    'NAME int FILE blob.bin|is a C or C++ keyword'
    'NAME class FILE blob.bin|is a C or C++ keyword'
    'NAME _Bool FILE blob.bin|is reserved'
    'NAME w FILE missing.bin|is not a file'
    $'NAME w FILE blob.bin)\nmorvex_embed(show NAME w FILE blob.bin|is already embedded'
    'NAME w FILE blob.bin BYTE_UNIT 3|BYTE_UNIT must be 1, 2, 4 or 8'
    'NAME w FILE blob.bin BYTE_UNIT 4 ALIGN 2|ALIGN must be a power of two'
    'NAME w FILE blob.bin ALIGN 24|ALIGN must be a power of two'
    'NAME w FILE blob.bin MODE FAST|MODE must be AUTO, ARRAY, INCBIN or EMBED'
    'NAME w FILE [[q"uote.bin]] MODE INCBIN|cannot name'
)
accepts_embed cc || calls+=('NAME w FILE blob.bin MODE EMBED|MODE EMBED needs a C compiler')
for row in "${calls[@]}"; do
    call=${row%%|*}
    reason=${row#*|}
    printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(bad LANGUAGES C)' \
        'find_package(Morvex REQUIRED)' 'add_executable(show main.c)' \
        "morvex_embed(show $call)" >"$bad/CMakeLists.txt"
    if cmake -S "$bad" -B "$bad/out" -DCMAKE_PREFIX_PATH="$work/root" >"$work/bad.log" 2>&1 ||
        ! grep -q "morvex_embed: .*$reason" <(tr -s ' \n' ' ' <"$work/bad.log"); then
        fail "morvex_embed($call) was not refused for '$reason': $(cat "$work/bad.log")"
    fi
done
echo "embed OK"
