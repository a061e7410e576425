#!/bin/sh
# Runs the Windows program ($1) under wine on a virtual display the way a
# keyboard user does: BIN → TXT on a small file, the byte unit 2 typed into
# the unit dialog, the result box closed with Enter, then Escape ends the
# program. Checks the text array written, the units stored in the user's
# application data folder, and the exit code.
set -eu
program="$(realpath "$1")"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Korean shows in wine's dialogs only under a Korean locale.
locale -a | grep -qi '^ko_KR\.utf-\?8$' || localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
printf 'AB' >"$work/source.bin"

timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" sh -eu -c '
    work="$1"; program="$2"
    wineboot -i >/dev/null 2>&1
    wine "$program" >"$work/wine.log" 2>&1 &
    pid=$!
    fail() { echo "$1" >&2; kill $pid 2>/dev/null; exit 1; }
    main=$(timeout 60 xdotool search --sync --onlyvisible --name "^Morvex v1\.10\$" | head -n 1)
    [ -n "$main" ] || fail "no main dialog"
    xdotool windowfocus --sync "$main"
    # The focus starts in the source edit; Shift+Tab wraps round to BIN → TXT.
    xdotool type --delay 20 "Z:$(echo "$work" | tr / \\\\)\\source.bin"
    xdotool key shift+Tab space
    unit=$(timeout 30 xdotool search --sync --onlyvisible --name "^단위\$" | head -n 1)
    [ -n "$unit" ] || fail "no unit dialog"
    xdotool type --delay 20 2
    xdotool key Return
    for attempt in $(seq 100); do
        [ -s "$work/source.bin.txt" ] && break
        [ "$attempt" -lt 100 ] || fail "nothing converted"
        sleep 0.1
    done
    sleep 1
    # The result box has the focus.
    xdotool key Return
    sleep 1
    xdotool windowfocus --sync "$main"
    xdotool key Escape
    timeout 30 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.2; done" || fail "still running after Escape"
    wait $pid
' dialogs "$work" "$program"

[ "$(cat "$work/source.bin.txt")" = "0x4241," ] || { echo "converted: $(cat "$work/source.bin.txt")" >&2; exit 1; }
settings=$(find "$work/prefix/drive_c/users" -path '*/AppData/Roaming/*' -iname '*.INI' | head -n 1)
[ -n "$settings" ] || { echo "no settings file in the application data folder" >&2; exit 1; }
grep -q '^ByteUnit=2' "$settings" && grep -q '^LineUnit=10' "$settings" || { echo "settings: $(cat "$settings")" >&2; exit 1; }
echo "BIN → TXT through the keyboard under wine; units stored in $(basename "$settings")"
