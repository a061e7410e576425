#!/usr/bin/env bash
# A drive letter of the wine prefix on a tmpfs of 256 KiB, for the full-disk
# tests; only root may mount one. Without it those tests skip and say why.
# Usage: small-drive.sh make|remove WINEPREFIX DRIVE FOLDER   (DRIVE as "Y:")
set -uo pipefail
action=$1
link="$2/dosdevices/$(echo "$3" | tr 'A-Z' 'a-z')"
folder=$4
case $action in
make)
    mkdir -p "$folder"
    rm -f "$link"
    if ! mountpoint -q "$folder" && ! mount -t tmpfs -o size=256k morvex-small-drive "$folder" 2>/dev/null; then
        echo "small-drive: cannot mount a tmpfs on $folder (not root?); the full-disk tests will skip"
        exit 0
    fi
    ln -sfn "$folder" "$link"
    echo "small-drive: $3 is a tmpfs of 256 KiB"
    ;;
remove)
    rm -f "$link"
    if mountpoint -q "$folder"; then
        umount "$folder"
    fi
    rmdir "$folder" 2>/dev/null || true
    ;;
esac
