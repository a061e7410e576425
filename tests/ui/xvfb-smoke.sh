#!/bin/sh
# Starts the real program on a virtual display, waits for its main dialog,
# presses Escape and expects the program to end cleanly.
set -eu
. "$(dirname "$0")/xvfb-env.sh"

timeout 90 xvfb-run -a sh -eu -c '
    "$1" &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Morvex v1\.10\$" | head -n 1)
    xdotool windowfocus --sync "$window"
    xdotool key Escape
    status=0
    timeout 15 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || { kill $pid; echo "still running after Escape" >&2; exit 1; }
    wait $pid || status=$?
    [ "$status" -eq 0 ] || { echo "exit code $status" >&2; exit 1; }
' smoke "$program"
echo "main dialog shown and closed with Escape"
