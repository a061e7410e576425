#!/bin/sh
# Opens the about box of the real program on a virtual display the way a
# keyboard user does (Shift+F10, the first entry of the context menu), closes
# it with Enter, then closes the main dialog; the program must end cleanly.
set -eu
. "$(dirname "$0")/on-display.sh"
. "$(dirname "$0")/window-waits.sh"
. "$(dirname "$0")/xvfb-env.sh"

open_main_dialog
xdotool key shift+F10 && sleep 0.5 && xdotool key Down Return
about=$(timeout 15 xdotool search --sync --onlyvisible --name "^About\.\.\.\$" | head -n 1)
[ -n "$about" ] || fail "no about box"
xdotool windowfocus --sync "$about"
xdotool key Return
wait_gone "^About\.\.\.\$" || fail "about box still open 3 s after Enter"
[ -n "$(visible "^Morvex v1\.10\$")" ] || fail "main dialog gone with the about box"
xdotool windowfocus --sync "$main"
xdotool key Escape
timeout 15 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || fail "still running after Escape"
wait $pid || fail "exit code $?"
echo "about box opened from the context menu and closed with Enter"
