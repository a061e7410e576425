#!/usr/bin/env bash
# Lists the functions of the program's code longer than a screen, longest
# first, as "lines  file:line  name"; fails if any is over the limit.
#
#   scripts/long-functions.sh [LIMIT] [FOLDER...]   (default 60, every product folder)
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-60}
shift || true
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(fileio codec settings cli res ui app)
# Universal Ctags gives each function's first and last line (Debian names
# it ctags-universal, and ctags only through its alternatives).
ctags=$(command -v ctags-universal || command -v ctags || true)
[ -n "$ctags" ] || { echo "long-functions: Universal Ctags is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
found=$("$ctags" -R --languages=C++ --kinds-C++=f --fields=+ne --output-format=u-ctags -f - "${folders[@]}" |
    awk -F'\t' -v limit="$limit" '{
        start = 0; end = 0
        for (i = 4; i <= NF; i++) {
            if ($i ~ /^line:/) start = substr($i, 6)
            if ($i ~ /^end:/) end = substr($i, 5)
        }
        lines = end - start + 1
        if (start && end && lines > limit) printf "%5d  %s:%d  %s\n", lines, $2, start, $1
    }' | sort -rn)
if [ -n "$found" ]; then
    echo "$found"
    echo "long-functions: $(echo "$found" | wc -l) over $limit lines" >&2
    exit 1
fi
echo "long-functions: none over $limit lines in ${folders[*]}"
