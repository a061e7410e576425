#!/usr/bin/env bash
# The Windows program under wine against the Linux one on the same large
# files: b, i and h into the null device, best of 5 alternating rounds, less
# each program's start-up (the best time of converting an empty file).
#
#   bench/windows.sh [MORVEX_COM ...]   default: build-windows/app/morvex.com
#
# More than one Windows program (another build of it, say) each get a column.
# Environment: as bench/common.sh; WINEPREFIX (default the build's own prefix).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
morvex=$(build_target morvex)
programs=("$@")
[ ${#programs[@]} -eq 0 ] && programs=("$root/build-windows/app/morvex.com")
for i in "${!programs[@]}"; do
    [ -f "${programs[$i]}" ] || { echo "bench/windows.sh: no ${programs[$i]} (scripts/build-windows.sh builds it)" >&2; exit 2; }
    programs[$i]=$(realpath "${programs[$i]}")
done
export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wineprefix}
export WINEDEBUG=-all
cd "$work"
# One server for every run, so that no run pays for its start; it and wine's
# services keep no descriptor of ours. One we start goes at the end, as the
# tests wait for the prefix to be idle; one already running (wineserver
# exits with 2) is someone else's and stays.
started_server=false
wineserver -p 60 </dev/null >/dev/null 2>&1 && started_server=true
trap '$started_server && wineserver -k 2>/dev/null; [ -z "${MORVEX_BENCH_DIR:-}" ] && rm -rf "$work"' EXIT

make_shape_texts 256 2>/dev/null
: > empty.bin

# The command, silent; a failure ends the benchmark.
quietly() {
    "$@" </dev/null >/dev/null 2>&1 || { echo "bench/windows.sh: $* failed" >&2; exit 1; }
}

# Seconds of the best of five runs of the command.
best_of_5() {
    local best="" i
    for i in 1 2 3 4 5; do
        best=$(min "$(seconds quietly "$@")" "$best")
    done
    echo "$best"
}

rows=("b own.txt" "b decimal.txt" "b h4.txt" "i own.txt" "h random.bin")
machine
echo "Command: \`bench/windows.sh\` — 256 MiB random input; best of 5; seconds less start-up, and × the Linux program."
echo
header="| Conversion | Linux |"
rule="|---|---|"
for program in "${programs[@]}"; do
    header+=" $(basename "$(dirname "$(dirname "$program")")") under wine |"
    rule+="---|"
done
echo "$header"
echo "$rule"
startups=()
for program in "${programs[@]}"; do
    startups+=("$(best_of_5 wine "$program" h empty.bin NUL)")
done
linux_startup=$(best_of_5 "$morvex" h empty.bin /dev/null)
for row in "${rows[@]}"; do
    read -r option source <<<"$row"
    linux=$(awk -v t="$(best_of_5 "$morvex" "$option" "$source" /dev/null)" -v s="$linux_startup" 'BEGIN { printf "%.3f", t - s }')
    line="| \`$option\`, $source | $linux |"
    for i in "${!programs[@]}"; do
        seconds=$(awk -v t="$(best_of_5 wine "${programs[$i]}" "$option" "$source" NUL)" -v s="${startups[$i]}" \
            'BEGIN { printf "%.3f", t - s }')
        line+=" $seconds ($(ratio "$seconds" "$linux") ×) |"
    done
    echo "$line"
done
echo
echo "Start-up: Linux ${linux_startup} s; under wine ${startups[*]} s."
