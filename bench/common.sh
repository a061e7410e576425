# Shared by the benchmark scripts, sourced from the project's root: the tools
# they need, a Release build of the targets they time, a work folder they
# run in, and timing helpers.
#
# Environment: MORVEX_BUILD_DIR (default build-bench), MORVEX_BENCH_DIR (where
# the data goes; default a fresh folder under $TMPDIR or /tmp, removed after).
root=$PWD

# Tools: Debian's xxd and GNU time, installed when missing.
missing=()
command -v xxd >/dev/null || missing+=(xxd)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

build=${MORVEX_BUILD_DIR:-$root/build-bench}

# Builds a target in the Release build and prints its path; extra arguments
# go to cmake's configuration.
build_target() {
    local target=$1
    shift
    if [ ! -f "$build/CMakeCache.txt" ] || [ $# -gt 0 ]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVEX_TESTS=OFF "$@" >&2
    fi
    cmake --build "$build" --target "$target" -j 2 >&2
    find "$build" -name "$target" -type f -perm -u+x | head -n 1
}

work=${MORVEX_BENCH_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/morvex-bench.XXXXXX")}
mkdir -p "$work"
[ -z "${MORVEX_BENCH_DIR:-}" ] && trap 'rm -rf "$work"' EXIT

# Texts of every common shape made from the same mib MiB of random bytes,
# into the page cache: random.bin, its h output own.txt, the body of xxd -i
# (xxd.txt), od -An -tu1 -v (od.txt), decimal joined by ", " (decimal.txt) and
# the h2, h4 and h8 outputs (h2.txt ...).
make_shape_texts() {
    local mib=$1 unit
    echo "Making the texts in $work ..." >&2
    head -c $((mib * 1024 * 1024)) /dev/urandom > random.bin
    "$morvex" h random.bin own.txt
    xxd -i < random.bin > xxd.txt
    od -An -tu1 -v random.bin > od.txt
    tr -s ' \n' '\n' < od.txt | sed '/^$/d' | paste -sd, | sed 's/,/, /g' > decimal.txt
    for unit in 2 4 8; do "$morvex" "h$unit" random.bin "h$unit.txt"; done
    cat ./*.txt random.bin > /dev/null
}

# The machine and the data's device, for the line above a table.
machine() {
    local cpu
    cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
    echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}, $(uname -sr); one run, data on $(df --output=source "$work" | tail -n 1) (page cache)."
}

# Wall-clock seconds of one run of a command.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

# Runs a command with its output into a file.
into() {
    local dest=$1
    shift
    "$@" > "$dest"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
gbps() { awk -v bytes="$1" -v s="$2" 'BEGIN { printf "%.2f", bytes / s / 1e9 }'; }
min() { awk -v a="$1" -v b="${2:-$1}" 'BEGIN { print (a < b) ? a : b }'; }
