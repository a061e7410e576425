#!/bin/sh
# Opens the about box of the real program on a virtual display the way a
# keyboard user does (Shift+F10, the first entry of the context menu), closes
# it with Enter, then closes the main dialog; the program must end cleanly.
set -eu
. "$(dirname "$0")/xvfb-env.sh"

timeout 90 xvfb-run -a sh -eu -c '
    visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
    "$1" &
    pid=$!
    main=$(timeout 30 xdotool search --sync --onlyvisible --name "^Morvex v1\.10\$" | head -n 1)
    xdotool windowfocus --sync "$main"
    xdotool key shift+F10 && sleep 0.5 && xdotool key Down Return
    about=$(timeout 15 xdotool search --sync --onlyvisible --name "^About\.\.\.\$" | head -n 1)
    [ -n "$about" ] || { kill $pid; echo "no about box" >&2; exit 1; }
    xdotool windowfocus --sync "$about"
    xdotool key Return
    for attempt in $(seq 150); do
        [ -z "$(visible "^About\.\.\.\$")" ] && break
        [ "$attempt" -lt 150 ] || { kill $pid; echo "about box still open after Enter" >&2; exit 1; }
        sleep 0.1
    done
    [ -n "$(visible "^Morvex v1\.10\$")" ] || { kill $pid; echo "main dialog gone with the about box" >&2; exit 1; }
    xdotool windowfocus --sync "$main"
    xdotool key Escape
    wait $pid
' about "$program"
echo "about box opened from the context menu and closed with Enter"
