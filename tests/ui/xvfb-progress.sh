#!/bin/sh
# Endless work in the real program on a virtual display, by the keyboard:
# BIN → TXT from /dev/zero into an existing file shows "변환 중", Escape
# cancels it and the old file stays as it was with nothing beside it; TXT →
# BIN from /dev/zero is cancelled during its scan without a unit dialog;
# then a small conversion runs as before and Escape ends the program.
set -eu
. "$(dirname "$0")/xvfb-env.sh"
work="$(mktemp -d)"
trap 'rm -rf "$config" "$work"' EXIT
printf 'old destination' >"$work/dest.txt"
printf 'AB' >"$work/small.bin"

timeout 100 xvfb-run -a sh -eu -c '
    work="$1"; program="$2"
    "$program" &
    pid=$!
    fail() { echo "$1" >&2; kill $pid 2>/dev/null; exit 1; }
    . "$WINDOW_WAITS"
    main=$(timeout 30 xdotool search --sync --onlyvisible --name "^Morvex v1\.10\$" | head -n 1)
    # Focus starts in the source edit; the destination edit is two tabs on.
    xdotool windowfocus --sync "$main"
    xdotool type --delay 10 /dev/zero
    xdotool key Tab Tab
    xdotool type --delay 10 "$work/dest.txt"
    # BIN → TXT is the last button of the tab order: one Shift+Tab from the source edit.
    xdotool key shift+Tab shift+Tab shift+Tab space
    wait_for "^단위\$" || fail "no unit dialog for BIN → TXT"
    xdotool key Return
    wait_for "^변환 중\$" || fail "no progress window within 10 s"
    xdotool windowfocus --sync "$(visible "^변환 중\$")"
    xdotool key Escape
    wait_gone "^변환 중\$" || fail "progress window still open 3 s after Escape"
    sleep 1
    [ -z "$(visible "^[Mm]orvex\$")" ] || fail "a message followed the cancel"
    [ "$(cat "$work/dest.txt")" = "old destination" ] || fail "destination changed"
    [ "$(ls -A "$work" | tr "\n" " ")" = "dest.txt small.bin " ] || fail "left behind: $(ls -A "$work")"

    # TXT → BIN: the focus is back on BIN → TXT, six tabs before it.
    xdotool windowfocus --sync "$main"
    xdotool key Tab Tab Tab Tab Tab Tab space
    wait_for "^변환 중\$" || fail "no progress window during the scan"
    xdotool windowfocus --sync "$(visible "^변환 중\$")"
    xdotool key Escape
    wait_gone "^변환 중\$" || fail "scan still running 3 s after Escape"
    sleep 1
    [ -z "$(visible "^단위\$")" ] || fail "the unit dialog opened after a cancelled scan"

    # A small BIN → TXT as before.
    xdotool windowfocus --sync "$main"
    # From TXT → BIN to the source edit; Tab selects the text of an edit box.
    xdotool key Tab Tab Tab Tab
    xdotool type --delay 10 "$work/small.bin"
    xdotool key Tab Tab
    xdotool type --delay 10 "$work/small.txt"
    xdotool key shift+Tab shift+Tab shift+Tab space
    wait_for "^단위\$" || fail "no unit dialog for the small file"
    xdotool key Return
    wait_for "^[Mm]orvex\$" || fail "no result for the small file"
    [ -z "$(visible "^변환 중\$")" ] || fail "a progress window flashed for a small file"
    xdotool key Return
    wait_gone "^[Mm]orvex\$" || fail "result box stays"
    [ "$(cat "$work/small.txt")" = "0x41,0x42," ] || fail "small.txt: $(cat "$work/small.txt")"
    xdotool windowfocus --sync "$main"
    xdotool key Escape
    timeout 15 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || fail "still running after Escape"
    wait $pid
' progress "$work" "$program"
echo "endless conversion and scan cancelled with Escape; old destination intact; small conversion as before"
