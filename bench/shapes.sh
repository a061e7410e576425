#!/usr/bin/env bash
# Times every text shape against the floor of reading it at all, side by
# side in one run: b and i on texts of each common shape against cat of the
# same text into /dev/null, h1 to h9 against cat of their own output, h and
# i end to end into a new file against cp of the same size, and peak memory.
# Every time is the best of a few alternating rounds. Prints a Markdown table.
#
#   bench/shapes.sh      (or bench/compare.sh --shapes)
#
# Environment: as bench/compare.sh, and MORVEX_SHAPES_MIB, the random
# input's size in MiB (default 128), MORVEX_SHAPES_ROUNDS (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
morvex=$(build_target morvex)
cd "$work"

mib=${MORVEX_SHAPES_MIB:-128}
rounds=${MORVEX_SHAPES_ROUNDS:-5}
make_shape_texts "$mib"
for unit in 1 3 5 6 7 9; do "$morvex" "h$unit" random.bin "h$unit.txt"; done
cat h?.txt > /dev/null

# Into /dev/null against cat of a text: option, input, the text cat reads,
# target ratio, label.
rows=(
    "b own.txt own.txt 2.0|\`b\`, own shape (\`0xHH,\`)"
    "b xxd.txt xxd.txt 2.5|\`b\`, \`xxd -i\` body"
    "b h2.txt h2.txt 2.5|\`b\`, \`h2\` output"
    "b h4.txt h4.txt 2.5|\`b\`, \`h4\` output"
    "b h8.txt h8.txt 2.5|\`b\`, \`h8\` output"
    "b od.txt od.txt 3.0|\`b\`, \`od -An -tu1 -v\`"
    "b decimal.txt decimal.txt 3.0|\`b\`, decimal joined by \`, \`"
    "i own.txt own.txt 2.5|\`i\`, own shape"
    "i decimal.txt decimal.txt 2.5|\`i\`, decimal joined by \`, \`"
    "i h4.txt h4.txt 2.5|\`i\`, \`h4\` output"
)
for unit in 1 2 3 4 5 6 7 8 9; do
    rows+=("h$unit random.bin h$unit.txt 1.5|\`h$unit\` (against cat of its output)")
done

declare -A best cat_best
echo "Timing ${#rows[@]} rows, $rounds rounds ..." >&2
for ((round = 0; round < rounds; round++)); do
    for row in "${rows[@]}"; do
        read -r option input text _ <<< "${row%%|*}"
        cat_best[$text]=$(min "$(seconds into /dev/null cat "$text")" "${cat_best[$text]:-}")
        best[$row]=$(min "$(seconds "$morvex" "$option" "$input" /dev/null)" "${best[$row]:-}")
    done
done

# End to end into a new file against cp of a file of the same size, flushed
# as morvex flushes what it replaces; each run starts after sync.
fresh() { rm -f "$@"; sync; }
best_of() {
    local dest=$1 best="" _round
    shift
    for ((_round = 0; _round < rounds; _round++)); do
        fresh "$dest"
        best=$(min "$(seconds "$@")" "$best")
    done
    fresh "$dest"
    echo "$best"
}
copy_flushed() { cp --reflink=never "$1" copy.txt && sync -d copy.txt; }
file_h=$(best_of out.txt "$morvex" h random.bin out.txt)
cp_h=$(best_of copy.txt copy_flushed own.txt)
file_i=$(best_of out.txt "$morvex" i own.txt out.txt)

peak_kib() { /usr/bin/time -f %M "$morvex" "$@" 2>&1 >/dev/null | tail -n 1; }
peak_b=$(peak_kib b od.txt /dev/null)
peak_i=$(peak_kib i decimal.txt /dev/null)
peak_h=$(peak_kib h9 random.bin /dev/null)

meets() { awk -v value="$1" -v limit="$2" 'BEGIN { print value <= limit ? "yes" : "**no**" }'; }
echo
machine
echo "Command: \`bench/compare.sh --shapes\` — ${mib} MiB random input; best of $rounds rounds."
echo
echo "| Conversion, text | morvex | floor | ratio | target | met |"
echo "|---|---|---|---|---|---|"
for row in "${rows[@]}"; do
    read -r _ _ text target <<< "${row%%|*}"
    r=$(ratio "${best[$row]}" "${cat_best[$text]}")
    echo "| ${row#*|} | ${best[$row]} s | \`cat\` $text: ${cat_best[$text]} s | $r × | ≤ $target × | $(meets "$r" "$target") |"
done
r=$(ratio "$file_h" "$cp_h")
echo "| \`h\` into a new file | $file_h s | \`cp\` and \`sync -d\`, same size: $cp_h s | $r × | ≤ 1.3 × | $(meets "$r" 1.3) |"
r=$(ratio "$file_i" "$cp_h")
echo "| \`i\` own shape into a new file | $file_i s | \`cp\` and \`sync -d\`, same size: $cp_h s | $r × | ≤ 1.6 × | $(meets "$r" 1.6) |"
most=$(printf '%s\n' "$peak_b" "$peak_i" "$peak_h" | sort -n | tail -n 1)
echo "| Peak RSS | \`b\` od: $peak_b KiB; \`i\` decimal: $peak_i KiB; \`h9\`: $peak_h KiB | | | < 16384 KiB | $([ "$most" -lt 16384 ] && echo yes || echo "**no**") |"
