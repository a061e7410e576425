#!/bin/sh
# Runs the Windows program ($1) under wine on a virtual display the way a
# keyboard user does: BIN → TXT with the byte unit 2 typed into the unit
# dialog, Hexa Invert and TXT → BIN with the byte units the scan proposes
# (2 and 5), the usage box by F1, then Escape ends the program. Checks every
# file written, the units stored in the user's application data folder and
# the exit code.
set -eu
. "$(dirname "$0")/../on-display.sh"
. "$(dirname "$0")/wine-env.sh"
printf 'AB' >"$work/binary.bin"
printf '0x12,0x1234,' >"$work/invert.txt"
printf '0x123456789A,' >"$work/five.txt"

start_program
pid=$!
fail() { echo "$1" >&2; kill $pid 2>/dev/null; exit 1; }
wait_for_window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
# With the focus in the source edit: types the source, moves to the button
# with the given keys and presses it, answers the unit dialog (typing the
# byte unit when one is given) and closes the result box.
convert() {
    xdotool type --delay 20 "$(host_path "$work/$1")"
    xdotool key $2 space
    [ -n "$(wait_for_window "^단위\$")" ] || fail "no unit dialog for $1"
    [ -z "$3" ] || xdotool type --delay 20 "$3"
    xdotool key Return
    for attempt in $(seq 100); do
        [ -s "$work/$4" ] && break
        [ "$attempt" -lt 100 ] || fail "$4 not written"
        sleep 0.1
    done
    [ -n "$(wait_for_window "^[Mm]orvex\$")" ] || fail "no result box for $1"
    sleep 0.5
    xdotool key Return
    sleep 0.5
}
main=$(wait_for_window "^Morvex v1\.10\$")
[ -n "$main" ] || fail "no main dialog"
xdotool windowfocus --sync "$main"
# The tab order: source edit, its button, destination edit, its button,
# Hexa Invert, TXT → BIN, home page, command help, BIN → TXT.
convert binary.bin shift+Tab 2 binary.bin.txt
xdotool key Tab
convert invert.txt "Tab Tab Tab Tab" "" invert.txt.txt
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab
convert five.txt "Tab Tab Tab Tab Tab" "" five.txt.bin
xdotool key F1
[ -n "$(wait_for_window "^[Mm]orvex\$")" ] || fail "no usage box"
sleep 0.5
xdotool key Return
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool key Escape
timeout 30 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.2; done" || fail "still running after Escape"
wait $pid || fail "exit code $?"

expect() {
    [ "$(od -An -tx1 "$work/$1" | tr -d ' \n')" = "$2" ] || fail "$1: $(od -An -tx1 "$work/$1")"
}
expect binary.bin.txt "$(printf '0x4241,' | od -An -tx1 | tr -d ' \n')"
expect invert.txt.txt "$(printf '0xFFED,0xEDCB,' | od -An -tx1 | tr -d ' \n')"
expect five.txt.bin 9a78563412
settings=$(find "$work/prefix/drive_c/users" -path '*/AppData/Roaming/*' -iname '*.INI' | head -n 1)
[ -n "$settings" ] || fail "no settings file in the application data folder"
grep -q '^ByteUnit=5' "$settings" && grep -q '^LineUnit=10' "$settings" || fail "settings: $(cat "$settings")"
echo "BIN → TXT, Hexa Invert and TXT → BIN through the keyboard under wine; units stored in $(basename "$settings")"
