#!/usr/bin/env bash
# Times each speed layer of the engine on and off, side by side in one run,
# on texts of every common shape made from the same random bytes: each
# instruction-set path against the others, the scan on two threads, mapped
# reads, the vector formatters and the read-ahead. Every cell is
# the best of a few alternating rounds, with its time relative to all layers
# on; a layer pays where switching it off makes its rows slower. Prints a
# Markdown table.
#
#   bench/ablation.sh      (or bench/compare.sh --ablation)
#
# Environment: as bench/compare.sh, and MORVEX_ABLATION_MIB, the random
# input's size in MiB (default 32), MORVEX_ABLATION_ROUNDS (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
ablation=$(build_target morvex_ablation -DMORVEX_BENCH=ON)
morvex=$(build_target morvex)
cd "$work"

mib=${MORVEX_ABLATION_MIB:-32}
rounds=${MORVEX_ABLATION_ROUNDS:-5}
make_shape_texts "$mib"

# The layer configurations: all on, every other available path, each layer off.
configs=("")
names=("all on")
for path in avx512 avx2 sse2 scalar; do
    if "$ablation" --path "$path" h /dev/null /dev/null 2>/dev/null; then
        configs+=("--path $path")
        names+=("$path")
    fi
done
configs+=("--no-split" "--no-map" "--no-vector-format" "--no-read-ahead")
names+=("no two threads" "no mapped reads" "no vector formatters" "no read-ahead")
# The first available path is the one all on uses.
unset 'configs[1]' 'names[1]'
configs=("${configs[@]}")
names=("${names[@]}")

# What is timed: option, input, output, label. Into /dev/null for the
# engine's own cost; into a new file for what users run.
rows=(
    "b own.txt /dev/null|\`b\`, own shape (\`0xHH,\`)"
    "b xxd.txt /dev/null|\`b\`, \`xxd -i\` body"
    "b od.txt /dev/null|\`b\`, \`od -An -tu1\`"
    "b decimal.txt /dev/null|\`b\`, decimal joined by \`, \`"
    "b h2.txt /dev/null|\`b\`, \`h2\` output"
    "b h4.txt /dev/null|\`b\`, \`h4\` output"
    "b h8.txt /dev/null|\`b\`, \`h8\` output"
    "i own.txt /dev/null|\`i\`, own shape"
    "i decimal.txt /dev/null|\`i\`, decimal joined by \`, \`"
    "i h4.txt /dev/null|\`i\`, \`h4\` output"
    "h random.bin /dev/null|\`h\`"
    "h2 random.bin /dev/null|\`h2\`"
    "h4 random.bin /dev/null|\`h4\`"
    "h8 random.bin /dev/null|\`h8\`"
    "b own.txt out.bin|\`b\`, own shape, into a new file"
    "i own.txt out.txt|\`i\`, own shape, into a new file"
    "h random.bin out.txt|\`h\`, into a new file"
)

# Whether the configuration switches off anything the option uses: h (h2 ...)
# scans no text, so that no scan path or split is its, and b
# writes no text.
applies() {
    case "$1,$2" in
        --path*,h* | --no-split,h* | --no-vector-format,b) return 1 ;;
    esac
}

# Best of the rounds for every row and configuration, the configurations
# alternating within each round.
declare -A best
echo "Timing ${#rows[@]} rows in ${#configs[@]} configurations, $rounds rounds ..." >&2
for ((round = 0; round < rounds; round++)); do
    for row in "${rows[@]}"; do
        read -r option input output <<< "${row%%|*}"
        for c in "${!configs[@]}"; do
            applies "${configs[$c]}" "$option" || continue
            [ "$output" != /dev/null ] && rm -f "$output" && sync
            # shellcheck disable=SC2086 # the configuration is words
            t=$(seconds "$ablation" ${configs[$c]} "$option" "$input" "$output")
            best[$row,$c]=$(min "$t" "${best[$row,$c]:-}")
        done
    done
done
rm -f out.bin out.txt

echo
machine
echo "Command: \`bench/compare.sh --ablation\` — ${mib} MiB random input; best of $rounds rounds; seconds, and × the time with all layers on."
echo
header="| Conversion, text |"
rule="|---|"
for name in "${names[@]}"; do
    header+=" $name |"
    rule+="---|"
done
echo "$header"
echo "$rule"
for row in "${rows[@]}"; do
    line="| ${row#*|} |"
    for c in "${!configs[@]}"; do
        t=${best[$row,$c]:-}
        if [ -z "$t" ]; then
            line+=" — |"
        elif [ "$c" -eq 0 ]; then
            line+=" $t |"
        else
            line+=" $t ($(ratio "$t" "${best[$row,0]}") ×) |"
        fi
    done
    echo "$line"
done
