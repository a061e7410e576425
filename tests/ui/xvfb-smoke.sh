#!/bin/sh
# Starts the real program on a virtual display, waits for its main dialog,
# presses Escape and expects the program to end cleanly.
set -eu
. "$(dirname "$0")/on-display.sh"
. "$(dirname "$0")/window-waits.sh"
. "$(dirname "$0")/xvfb-env.sh"

open_main_dialog
xdotool key Escape
timeout 15 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || fail "still running after Escape"
wait $pid || fail "exit code $?"
echo "main dialog shown and closed with Escape"
