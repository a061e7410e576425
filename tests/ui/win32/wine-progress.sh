#!/bin/sh
# Long work in the Windows program ($1) under wine on a virtual display, by
# the keyboard: BIN → TXT from a huge sparse file into an existing file shows
# "변환 중", Escape cancels it and the old file stays as it was with nothing
# beside it, no message following; TXT → BIN from the same file is cancelled
# during its scan without a unit dialog; then Escape ends the program.
set -eu
. "$(dirname "$0")/wine-env.sh"
mkdir "$work/files"
truncate -s 64G "$work/files/huge.bin"
printf 'old destination' >"$work/files/dest.txt"

timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" sh -eu -c '
    work="$1"; program="$2"
    wineboot -i >/dev/null 2>&1
    wine "$program" >"$work/wine.log" 2>&1 &
    pid=$!
    fail() { echo "$1" >&2; kill $pid 2>/dev/null; exit 1; }
    windows_path() { printf "Z:%s" "$(printf %s "$work/files/$1" | tr / \\\\)"; }
    . "$WINDOW_WAITS"
    main=$(timeout 30 xdotool search --sync --onlyvisible --name "^Morvex v1\.10\$" | head -n 1)
    [ -n "$main" ] || fail "no main dialog"
    xdotool windowfocus --sync "$main"
    xdotool type --delay 20 "$(windows_path huge.bin)"
    xdotool key Tab Tab
    xdotool type --delay 20 "$(windows_path dest.txt)"
    # BIN → TXT closes the tab order, just before the source edit.
    xdotool key shift+Tab shift+Tab shift+Tab space
    wait_for "^단위\$" || fail "no unit dialog"
    xdotool key Return
    wait_for "^변환 중\$" || fail "no progress window within 10 s"
    xdotool windowfocus --sync "$(visible "^변환 중\$")"
    xdotool key Escape
    wait_gone "^변환 중\$" || fail "progress window still open 3 s after Escape"
    sleep 1
    [ -z "$(visible "^[Mm]orvex\$")" ] || fail "a message followed the cancel"
    # The focus is back on BIN → TXT; TXT → BIN is six tabs on.
    xdotool windowfocus --sync "$main"
    xdotool key Tab Tab Tab Tab Tab Tab space
    wait_for "^변환 중\$" || fail "no progress window during the scan"
    xdotool windowfocus --sync "$(visible "^변환 중\$")"
    xdotool key Escape
    wait_gone "^변환 중\$" || fail "scan still running 3 s after Escape"
    sleep 1
    [ -z "$(visible "^단위\$")" ] || fail "the unit dialog opened after a cancelled scan"
    xdotool windowfocus --sync "$main"
    xdotool key Escape
    timeout 30 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.2; done" || fail "still running after Escape"
    wait $pid
' progress "$work" "$program"

[ "$(cat "$work/files/dest.txt")" = "old destination" ] || { echo "destination changed" >&2; exit 1; }
[ "$(ls -A "$work/files" | tr '\n' ' ')" = "dest.txt huge.bin " ] || { echo "left behind: $(ls -A "$work/files")" >&2; exit 1; }
echo "long BIN → TXT under wine shown as 변환 중 and cancelled with Escape; old destination intact"
