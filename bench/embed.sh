#!/usr/bin/env bash
# Times morvex_embed() building a file of random bytes into a small C
# program, every mode side by side in one run: the build's wall-clock time
# and the peak resident memory of its processes (the compiler's, in the
# end), from /usr/bin/time -v, with the file in the page cache. The first row
# builds the program without the file, the floor of every other. Each
# program writes its bytes back, which must be the file. Prints a Markdown
# table.
#
#   bench/embed.sh [MiB] [MODE...]    default: 50 MiB; INCBIN EMBED ARRAY
#
# EMBED runs with the first compiler found that takes #embed (clang-19 and
# newer, gcc-15 and newer), every other mode with cc.
# Environment: as bench/compare.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
morvex=$(build_target morvex)
cd "$work"

mib=${1:-50}
shift || true
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(INCBIN EMBED ARRAY)

echo "Making $mib MiB in $work ..." >&2
head -c $((mib * 1024 * 1024)) /dev/urandom > data.bin
cat data.bin > /dev/null

# The helper from the source tree, with the program just built standing in
# for the installed one.
mkdir -p project
cat > project/CMakeLists.txt <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(embed_bench LANGUAGES C)
add_executable(Morvex::morvex IMPORTED)
set_target_properties(Morvex::morvex PROPERTIES IMPORTED_LOCATION "$morvex")
include("$root/cmake/MorvexEmbed.cmake")
add_executable(show main.c)
if(EMBED_MODE)
    morvex_embed(show NAME data FILE "$work/data.bin" MODE \${EMBED_MODE})
    target_compile_definitions(show PRIVATE HAVE_DATA)
endif()
CMAKE
cat > project/main.c <<'C'
#include <stdio.h>

#ifdef HAVE_DATA
#include "morvex/data.h"
#endif

int main(void)
{
#ifdef HAVE_DATA
    return fwrite(data, 1, data_size, stdout) == data_size ? 0 : 1;
#else
    return 0;
#endif
}
C

embed_compiler() {
    local cc
    printf '%s\n' 'static const unsigned char probe[] = {' '#embed __FILE__ limit(1)' '};' \
        'int main(void) { return probe[0] == 0; }' > probe.c
    for cc in clang-19 clang-20 clang-21 clang-22 gcc-15 gcc-16; do
        if command -v "$cc" > /dev/null && "$cc" -std=c23 -o probe probe.c 2> /dev/null; then
            echo "$cc"
            return
        fi
    done
}

# Wall-clock seconds of a build; its peak memory goes to rss.txt.
timed_build() { seconds into /dev/null /usr/bin/time -v -o rss.txt cmake --build "$1"; }
peak_mib() { awk -F: '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' rss.txt; }

rows=()
for mode in none "${modes[@]}"; do
    cc=cc
    if [ "$mode" = EMBED ]; then
        cc=$(embed_compiler)
        if [ -z "$cc" ]; then
            rows+=("| EMBED | (no compiler takes #embed) | | | | |")
            continue
        fi
    fi
    echo "Building in mode $mode with $cc ..." >&2
    out=out-$mode
    define=""
    [ "$mode" = none ] || define=$mode
    configure=$(seconds into /dev/null env CC="$cc" cmake -S project -B "$out" -DEMBED_MODE="$define")
    build=$(timed_build "$out")
    peak=$(peak_mib)
    check=""
    if [ "$mode" != none ]; then
        "$out/show" > shown.bin
        check=$(cmp -s shown.bin data.bin && echo identical || echo "**DIFFERENT**")
        rm -f shown.bin
    fi
    rows+=("| $mode | $cc | $configure | $build | $peak | $check |")
    rm -rf "$out"
done

echo
machine
echo
echo "| mode | compiler | configure (s) | build (s) | peak memory (MiB) | bytes |"
echo "|---|---|---:|---:|---:|---|"
printf '%s\n' "${rows[@]}"
