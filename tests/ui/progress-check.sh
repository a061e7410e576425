#!/bin/sh
# Long work in the real program on a virtual display, by the keyboard, the
# same steps on every platform: BIN → TXT from an endless source into an
# existing file shows "변환 중", Escape cancels it, no message follows and the
# old file stays as it was with nothing beside it; TXT → BIN from the same
# source is cancelled during its scan without a unit dialog; a small BIN → TXT
# then runs without a progress window, and Escape ends the program cleanly.
#
# Usage: progress-check.sh PLATFORM PROGRAM
#   PLATFORM  the file that sets the program up on the display and defines
#             start_program, host_path and endless_source (xvfb-env.sh,
#             win32/wine-env.sh)
set -eu
. "$(dirname "$0")/on-display.sh"
platform="$(realpath "$1")"
shift
. "$(dirname "$0")/window-waits.sh"
. "$platform"
files="$work/files"
mkdir "$files"
endless="$(endless_source)"
printf 'old destination' >"$files/dest.txt"
printf 'AB' >"$files/small.bin"

type_path() { xdotool type --delay 20 "$(host_path "$1")"; }
open_main_dialog

# Focus starts in the source edit; the destination edit is two tabs on, and
# BIN → TXT closes the tab order, three Shift+Tabs back from it.
type_path "$endless"
xdotool key Tab Tab
type_path "$files/dest.txt"
xdotool key shift+Tab shift+Tab shift+Tab space
wait_for "^단위\$" || fail "no unit dialog for BIN → TXT"
xdotool key Return
wait_for "^변환 중\$" || fail "no progress window within 10 s"
xdotool windowfocus --sync "$(visible "^변환 중\$")"
xdotool key Escape
wait_gone "^변환 중\$" || fail "progress window still open 3 s after Escape"
sleep 1
[ -z "$(visible "^[Mm]orvex\$")" ] || fail "a message followed the cancel"
[ "$(cat "$files/dest.txt")" = "old destination" ] || fail "destination changed"
[ "$(ls -A "$files" | tr '\n' ' ')" = "dest.txt small.bin " ] || fail "left behind: $(ls -A "$files")"

# TXT → BIN: the focus is back on BIN → TXT, six tabs before it.
xdotool windowfocus --sync "$main"
xdotool key Tab Tab Tab Tab Tab Tab space
wait_for "^변환 중\$" || fail "no progress window during the scan"
xdotool windowfocus --sync "$(visible "^변환 중\$")"
xdotool key Escape
wait_gone "^변환 중\$" || fail "scan still running 3 s after Escape"
sleep 1
[ -z "$(visible "^단위\$")" ] || fail "the unit dialog opened after a cancelled scan"

# A small BIN → TXT: from TXT → BIN to the source edit is four tabs, and Tab
# selects the text of an edit box.
xdotool windowfocus --sync "$main"
xdotool key Tab Tab Tab Tab
type_path "$files/small.bin"
xdotool key Tab Tab
type_path "$files/small.txt"
xdotool key shift+Tab shift+Tab shift+Tab space
wait_for "^단위\$" || fail "no unit dialog for the small file"
xdotool key Return
wait_for "^[Mm]orvex\$" || fail "no result for the small file"
[ -z "$(visible "^변환 중\$")" ] || fail "a progress window flashed for a small file"
xdotool key Return
wait_gone "^[Mm]orvex\$" || fail "result box stays"
[ "$(cat "$files/small.txt")" = "0x41,0x42," ] || fail "small.txt: $(cat "$files/small.txt")"

xdotool windowfocus --sync "$main"
xdotool key Escape
timeout 30 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.2; done" || fail "still running after Escape"
wait $pid || fail "exit code $?"
echo "long conversion and scan cancelled with Escape; old destination intact; small conversion as before"
