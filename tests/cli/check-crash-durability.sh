#!/usr/bin/env bash
# A destination replaced just before a crash holds the whole new content
# afterwards, never an empty file. The crash is an XFS forced shutdown on a
# loop device, which drops everything not yet on the device (ext4 would hide
# a missing flush behind its own heuristics). Needs root, mkfs.xfs and
# xfs_io; without them it says why and skips.
# Usage: tests/cli/check-crash-durability.sh MORVEX
set -euo pipefail
morvex=$(realpath "$1")

skip() {
    echo "crash durability: skipped: $1"
    exit 0
}
[ "$(id -u)" -eq 0 ] || skip "needs root for a loop mount"
command -v mkfs.xfs >/dev/null && command -v xfs_io >/dev/null || skip "needs xfsprogs"

work=$(mktemp -d)
mnt=$work/mnt
cleanup() {
    mountpoint -q "$mnt" && umount "$mnt"
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$mnt"
truncate -s 512M "$work/xfs.img"
mkfs.xfs -q "$work/xfs.img"
mount -o loop "$work/xfs.img" "$mnt" 2>/dev/null || skip "cannot mount a loop device here"

head -c 1000000 /dev/urandom >"$work/source.bin"
"$morvex" h "$work/source.bin" "$work/expected.txt"
status=0
for option in h b; do
    case $option in
        h) source=$work/source.bin expected=$work/expected.txt ;;
        b) source=$work/expected.txt expected=$work/source.bin ;;
    esac
    echo "old content" >"$mnt/out"
    sync
    "$morvex" "$option" "$source" "$mnt/out"
    xfs_io -x -c "shutdown -f" "$mnt"
    umount "$mnt"
    mount -o loop "$work/xfs.img" "$mnt"
    if cmp -s "$mnt/out" "$expected"; then
        echo "crash durability: $option: the whole new content survived the crash"
    else
        echo "crash durability: $option: after the crash the destination holds $(stat -c %s "$mnt/out") bytes, not the new content" >&2
        status=1
    fi
    leftovers=$(find "$mnt" -name '.morvex-*' | wc -l)
    if [ "$leftovers" -ne 0 ]; then
        echo "crash durability: $option: $leftovers temporary files left after the crash" >&2
        status=1
    fi
done
exit $status
