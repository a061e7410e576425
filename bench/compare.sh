#!/usr/bin/env bash
# Measures morvex on a 256 MiB random file kept in the page cache, from one
# run: engine throughput into /dev/null and its ratio to cat reading the
# same text, end to end into a real file against cp of a file of the same
# size, against xxd, and peak memory for small and large inputs. Prints a
# Markdown table.
#
#   bench/compare.sh [--large]     --large adds a 1 GiB input to the memory and lasting-replace rows
#   bench/compare.sh --ablation    each speed layer on and off instead (bench/ablation.sh)
#   bench/compare.sh --shapes      every text shape against its floor instead (bench/shapes.sh)
#
# Environment: MORVEX_BUILD_DIR (default build-bench), MORVEX_BENCH_DIR (where
# the data goes; default a fresh folder under $TMPDIR or /tmp, removed after).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

[ "${1:-}" = "--ablation" ] && exec bench/ablation.sh
[ "${1:-}" = "--shapes" ] && exec bench/shapes.sh
large=false
[ "${1:-}" = "--large" ] && large=true

source "$root/bench/common.sh"
morvex=$(build_target morvex)
cd "$work"

mib=$((1024 * 1024))
size=$((256 * mib))
echo "Making the data in $work ..." >&2
head -c "$size" /dev/urandom > random.bin
"$morvex" h random.bin text.txt
xxd -p random.bin > plain.hex
# Into the page cache, so that only the writing and the code are measured.
cat random.bin text.txt plain.hex > /dev/null

meets() { awk -v value="$1" -v op="$2" -v limit="$3" 'BEGIN {
    ok = (op == ">=") ? value >= limit : value <= limit; print ok ? "yes" : "**no**" }'; }
same() { cmp -s "$1" "$2" && echo "identical" || echo "**DIFFERENT**"; }

text_size=$(stat -c %s text.txt)
echo "Timing ..." >&2

# Engine throughput beside the floor of reading the same bytes at all: cat
# of the text (or, for h, of its own output) into /dev/null. Side by side,
# alternating, in rounds; the best round of each counts, as the machine may
# be busy with other work during any one of them.
cat_text="" null_h="" null_b="" null_i=""
for _ in 1 2 3 4 5 6 7 8 9; do
    cat_text=$(min "$(seconds into /dev/null cat text.txt)" "$cat_text")
    null_b=$(min "$(seconds "$morvex" b text.txt /dev/null)" "$null_b")
    null_i=$(min "$(seconds "$morvex" i text.txt /dev/null)" "$null_i")
    null_h=$(min "$(seconds "$morvex" h random.bin /dev/null)" "$null_h")
done

# End to end into a real file beside the kernel's floor: cp of a file of the
# same size as the output (the inversion's output is as long as its input).
# Each write starts with no dirty pages left by the one before.
# Single writes into the page cache swing widely on a shared machine, so
# each of these is the best of three.
fresh() { rm -f "$@"; sync; }
best_into() {
    local dest=$1 best=""
    shift
    for _ in 1 2 3; do
        fresh "$dest"
        best=$(min "$(seconds "$@")" "$best")
    done
    echo "$best"
}
file_h=$(best_into h.txt "$morvex" h random.bin h.txt)
fresh h.txt
# --reflink=never: cp then reads and writes through user space as any
# converter must; by default it copies inside the kernel (copy_file_range),
# which no program that makes new bytes can do. The copy is then flushed to
# the device, as morvex flushes a file it replaces.
copy_flushed() { cp --reflink=never text.txt copy.txt && sync -d copy.txt; }
cp_text=$(best_into copy.txt copy_flushed)
fresh copy.txt
file_i=$(best_into i.txt "$morvex" i text.txt i.txt)
fresh i.txt
file_b=$(best_into b.bin "$morvex" b text.txt b.bin)

# Peers: into /dev/null for the code's own cost, and into real files, where
# the kernel's floor (cp above) bounds every ratio.
xxd_i_null=$(seconds into /dev/null xxd -i < random.bin)
xxd_r_null=$(seconds into /dev/null xxd -r -p plain.hex)
fresh xxd-i.txt
xxd_i=$(seconds into xxd-i.txt xxd -i < random.bin)
fresh xxd.bin
xxd_r=$(seconds into xxd.bin xxd -r -p plain.hex)

# The same bytes: morvex b of its own text, xxd -r -p of its plain hex, and
# morvex b of the text that xxd -i wrote all give the random file back.
check_b=$(same b.bin random.bin)
check_xxd_r=$(same xxd.bin random.bin)
"$morvex" b xxd-i.txt xxd-i.bin
check_xxd_i=$(same xxd-i.bin random.bin)
rm -f b.bin xxd.bin xxd-i.txt xxd-i.bin plain.hex

# Peak resident memory in KiB of one conversion.
peak_kib() { /usr/bin/time -f %M "$morvex" "$@" 2>&1 >/dev/null | tail -n 1; }
sizes=("1 MiB:$mib" "256 MiB:$size")
if $large; then
    sizes+=("1 GiB:$((1024 * mib))")
    head -c $((1024 * mib)) /dev/urandom > random-large.bin
fi
declare -A peak
for entry in "${sizes[@]}"; do
    label=${entry%%:*}
    bytes=${entry#*:}
    if [ "$bytes" -le "$size" ]; then head -c "$bytes" random.bin > in.bin; else mv random-large.bin in.bin; fi
    head -c "$bytes" text.txt > in.txt
    peak[h,$label]=$(peak_kib h in.bin out)
    peak[b,$label]=$(peak_kib b in.txt out)
    peak[i,$label]=$(peak_kib i in.txt out)
    rm -f out in.bin in.txt
done

# The cost of a lasting replace: a destination that exists is replaced by a
# new file flushed to the device before the rename; written through standard
# output, the same bytes are left to the kernel's writeback.
durable_sizes=("1 MiB:$mib" "64 MiB:$((64 * mib))")
$large && durable_sizes+=("1 GiB:$((1024 * mib))")
declare -A durable through
for entry in "${durable_sizes[@]}"; do
    label=${entry%%:*}
    bytes=${entry#*:}
    head -c "$bytes" /dev/urandom > in.bin
    replace() { echo old > out.txt; sync; seconds "$morvex" h in.bin out.txt; }
    piped() { rm -f out.txt; sync; seconds into out.txt "$morvex" h in.bin /dev/stdout; }
    durable[$label]="" through[$label]=""
    for _ in 1 2 3; do
        durable[$label]=$(min "$(replace)" "${durable[$label]}")
        through[$label]=$(min "$(piped)" "${through[$label]}")
    done
    rm -f in.bin out.txt
done

echo
machine
echo "Binary: $build/app/morvex, $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt") build, dialogs (MORVEX_GUI) $(sed -n 's/^MORVEX_GUI:BOOL=//p' "$build/CMakeCache.txt")."
echo "Command: \`bench/compare.sh${1:+ $1}\` — 256 MiB random input, text $((text_size / mib)) MiB."
echo
echo "| Measure | morvex | Reference | Ratio | Target | Met |"
echo "|---|---|---|---|---|---|"
echo "| \`h\` into /dev/null | $null_h s, $(gbps "$size" "$null_h") GB/s of binary | | | ≥ 1 GB/s | $(meets "$(gbps "$size" "$null_h")" ">=" 1) |"
echo "| \`b\` into /dev/null | $null_b s, $(gbps "$text_size" "$null_b") GB/s of text | | | ≥ 1 GB/s | $(meets "$(gbps "$text_size" "$null_b")" ">=" 1) |"
echo "| \`i\` into /dev/null | $null_i s, $(gbps "$text_size" "$null_i") GB/s of text | | | ≥ 1 GB/s | $(meets "$(gbps "$text_size" "$null_i")" ">=" 1) |"
r=$(ratio "$null_b" "$cat_text")
echo "| \`b\` into /dev/null vs reading its text | $null_b s | \`cat\` of the text into /dev/null: $cat_text s | $r × cat | ≤ 2.0 × cat | $(meets "$r" "<=" 2.0) |"
r=$(ratio "$null_i" "$cat_text")
echo "| \`i\` into /dev/null vs reading its text | $null_i s | \`cat\` of the text into /dev/null: $cat_text s | $r × cat | ≤ 2.5 × cat | $(meets "$r" "<=" 2.5) |"
r=$(ratio "$null_h" "$cat_text")
echo "| \`h\` into /dev/null vs reading its output | $null_h s | \`cat\` of the output into /dev/null: $cat_text s | $r × cat | ≤ 1.3 × cat | $(meets "$r" "<=" 1.3) |"
r=$(ratio "$file_h" "$cp_text")
echo "| \`h\` into a file | $file_h s | \`cp --reflink=never\` and \`sync -d\`, same size: $cp_text s | $r × cp | ≤ 1.3 × cp | $(meets "$r" "<=" 1.3) |"
r=$(ratio "$file_i" "$cp_text")
echo "| \`i\` into a file | $file_i s | \`cp --reflink=never\` and \`sync -d\`, same size: $cp_text s | $r × cp | ≤ 1.6 × cp | $(meets "$r" "<=" 1.6) |"
r=$(ratio "$xxd_i_null" "$null_h")
echo "| \`h\` vs \`xxd -i\`, into /dev/null | $null_h s | $xxd_i_null s | $r × faster | ≥ 20 × | $(meets "$r" ">=" 20) |"
r=$(ratio "$xxd_r_null" "$null_b")
echo "| \`b\` vs \`xxd -r -p\`, into /dev/null | $null_b s | $xxd_r_null s | $r × faster | ≥ 3 × | $(meets "$r" ">=" 3) |"
echo "| \`h\` vs \`xxd -i\`, into files | $file_h s | $xxd_i s | $(ratio "$xxd_i" "$file_h") × faster | (bounded by cp) | |"
echo "| \`b\` vs \`xxd -r -p\`, into files | $file_b s | $xxd_r s | $(ratio "$xxd_r" "$file_b") × faster | (bounded by cp) | |"
echo "| Same bytes | \`b\` of \`h\`: $check_b | \`xxd -r -p\`: $check_xxd_r; \`b\` of \`xxd -i\`: $check_xxd_i | | | |"
for entry in "${durable_sizes[@]}"; do
    label=${entry%%:*}
    echo "| \`h\` of $label replacing a file, flushed | ${durable[$label]} s | through standard output, not flushed: ${through[$label]} s | $(ratio "${durable[$label]}" "${through[$label]}") × | (the cost of lasting) | |"
done
for option in h b i; do
    row="| Peak RSS \`$option\` |"
    low=""
    high=0
    for entry in "${sizes[@]}"; do
        label=${entry%%:*}
        kib=${peak[$option,$label]}
        row+=" $label: $kib KiB;"
        if [ -z "$low" ] || [ "$kib" -lt "$low" ]; then low=$kib; fi
        if [ "$kib" -gt "$high" ]; then high=$kib; fi
    done
    spread=$((high - low))
    constant=$([ "$spread" -le 1024 ] && echo yes || echo "**no**")
    small=$([ "$high" -lt $((16 * 1024)) ] && echo yes || echo "**no**")
    echo "${row%;} | | spread $spread KiB, most $high KiB | same within 1 MiB; < 16 MiB | $constant; $small |"
done
