#!/usr/bin/env bash
# A source whose reads fail part way through fails the conversion within
# seconds, with the system's reason on one line, and leaves the destination
# as it was: for h, b and i, by the program and with each speed layer off in
# turn. The same file read whole converts exactly. The files are served by
# a FUSE file system in Python (failing-fs.py):
#   fuse  reads them there: one fails with EIO from 2 MiB on, one with
#         ENOTCONN, as a share whose daemon has gone;
#   disk  reads them from an ext4 image on a loop device, itself a file of
#         that file system whose blocks under the file fail from 2 MiB on,
#         as a failing disk's sectors would: there the source is mapped.
# Needs root, /dev/fuse, fusermount and python3-fusepy, and for disk
# losetup, mkfs.ext4 and debugfs; without them it says why and exits 77,
# which CTest counts as skipped.
# Usage: check-failing-storage.sh fuse|disk MORVEX MORVEX_ABLATION
set -euo pipefail
mode=$1
morvex=$(realpath "$2")
ablation=$(realpath "$3")
here=$(dirname "$(realpath "$0")")

skip() {
    echo "failing storage ($mode): skipped: $1"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root to mount"
[ -c /dev/fuse ] || skip "needs /dev/fuse"
fusermount=$(command -v fusermount3 || command -v fusermount) || skip "needs fusermount (fuse3)"
python=""
for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c "from fusepy import FUSE" 2>/dev/null || "$candidate" -c "from fuse import FUSE" 2>/dev/null; then
        python=$candidate
        break
    fi
done
[ -n "$python" ] || skip "needs python3-fusepy"
if [ "$mode" = disk ]; then
    for tool in losetup mkfs.ext4 debugfs; do
        command -v "$tool" >/dev/null || skip "needs $tool"
    done
fi

work=$(mktemp -d)
mnt=$work/fuse
disk=$work/disk
daemon=""
loop=""
cleanup() {
    if mountpoint -q "$disk"; then umount "$disk" || true; fi
    if [ -n "$loop" ]; then losetup -d "$loop" || true; fi
    if mountpoint -q "$mnt"; then "$fusermount" -u "$mnt" || umount -l "$mnt" || true; fi
    if [ -n "$daemon" ]; then wait "$daemon" || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$mnt" "$disk"

# A text array of every byte value, 16 items a line, about 8 MiB of it; its
# bytes are known without the program.
failFrom=$((2 << 20))
"$python" -c '
import sys
block = "".join("".join(f"0x{row * 16 + n:02X}," for n in range(16)) + "\n" for row in range(16)).encode()
open(sys.argv[1], "wb").write(block * 6472)
open(sys.argv[2], "wb").write(bytes(range(256)) * 6472)
' "$work/source.txt" "$work/source.bin"
for option in h b i; do
    "$morvex" "$option" "$work/source.txt" "$work/expected.$option"
done
cmp -s "$work/expected.b" "$work/source.bin" || {
    echo "failing storage ($mode): the local source does not convert to its bytes" >&2
    exit 1
}

served=()
case $mode in
    fuse)
        served=("good.txt=$work/source.txt" "failing.txt=$work/source.txt:EIO@$failFrom-"
            "gone.txt=$work/source.txt:ENOTCONN@$failFrom-")
        ;;
    disk)
        mkdir "$work/tree"
        cp "$work/source.txt" "$work/tree/good.txt"
        cp "$work/source.txt" "$work/tree/failing.txt"
        truncate -s 40M "$work/disk.img"
        mkfs.ext4 -q -F -b 4096 -d "$work/tree" "$work/disk.img"
        # The image's byte ranges under the file from 2 MiB on, its blocks
        # merged where they follow one another.
        ranges=$(debugfs -R "blocks /failing.txt" "$work/disk.img" 2>/dev/null | tr ' ' '\n' | grep -E '^[0-9]+$' \
            | tail -n +$((failFrom / 4096 + 1)) | awk '
                NR > 1 && $1 == last + 1 { last = $1; next }
                NR > 1 { printf "%s%d-%d", sep, first * 4096, (last + 1) * 4096; sep = "," }
                { first = $1; last = $1 }
                END { if (NR > 0) printf "%s%d-%d", sep, first * 4096, (last + 1) * 4096 }')
        [ -n "$ranges" ] || {
            echo "failing storage (disk): found no blocks of the file in the image" >&2
            exit 1
        }
        served=("disk.img=$work/disk.img:EIO@$ranges")
        ;;
    *)
        echo "usage: check-failing-storage.sh fuse|disk MORVEX MORVEX_ABLATION" >&2
        exit 2
        ;;
esac

"$python" "$here/failing-fs.py" "$mnt" "${served[@]}" 2>"$work/fs.log" &
daemon=$!
for _ in $(seq 100); do
    mountpoint -q "$mnt" && break
    kill -0 "$daemon" 2>/dev/null || break
    sleep 0.1
done
mountpoint -q "$mnt" || skip "cannot mount a FUSE file system here: $(tail -n 1 "$work/fs.log")"

if [ "$mode" = fuse ]; then
    good=$mnt/good.txt
    failing=("$mnt/failing.txt|Input/output error" "$mnt/gone.txt|Transport endpoint is not connected")
else
    loop=$(losetup -r -f --show "$mnt/disk.img" 2>/dev/null) || skip "cannot set up a loop device here"
    mount -o ro,noload "$loop" "$disk" 2>/dev/null || skip "cannot mount the ext4 image here"
    [ "$(stat -f -c %t "$disk")" = ef53 ] || {
        echo "failing storage (disk): the image is not mounted as ext4" >&2
        exit 1
    }
    good=$disk/good.txt
    failing=("$disk/failing.txt|Input/output error")
fi

# The program as users run it, then with each speed layer off in turn.
runners=("$morvex" "$ablation --no-map" "$ablation --no-split" "$ablation --no-read-ahead"
    "$ablation --no-vector-format")
printf 'old destination\n\x01\x02' >"$work/old"
status=0
fail() {
    echo "failing storage ($mode): $*" >&2
    status=1
}
for runner in "${runners[@]}"; do
    read -ra run <<<"$runner"
    layers=${runner#"$ablation"}
    [ "$runner" = "$morvex" ] && layers=" (the program)"
    for option in h b i; do
        for case in "${failing[@]}"; do
            source=${case%%|*}
            reason=${case#*|}
            what="$option$layers of $source"
            cp "$work/old" "$work/out"
            code=0
            timeout 10 "${run[@]}" "$option" "$source" "$work/out" 2>"$work/said" || code=$?
            said=$(cat "$work/said")
            expected="morvex: cannot read source file '$source': $reason"
            if [ "$code" -eq 124 ]; then
                fail "$what: still running after 10 s"
            elif [ "$code" -eq 0 ]; then
                fail "$what: exit status 0"
            elif [ "$said" != "$expected" ] || [ "$(wc -l <"$work/said")" -ne 1 ]; then
                fail "$what: said \"$said\", not the one line \"$expected\""
            fi
            cmp -s "$work/out" "$work/old" || fail "$what: the old destination was not kept"
        done
        rm -f "$work/out"
        if ! timeout 60 "${run[@]}" "$option" "$good" "$work/out"; then
            fail "$option$layers of $good: failed"
        elif ! cmp -s "$work/out" "$work/expected.$option"; then
            fail "$option$layers of $good: not the conversion of the same file on a local disk"
        fi
    done
done
[ "$status" -eq 0 ] && echo "failing storage ($mode): every failing read failed fast and kept the destination"
exit $status
