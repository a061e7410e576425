#!/usr/bin/env bash
# Installs the Windows installer silently under wine, converts with the
# installed program, uninstalls silently and checks that nothing is left.
# Usage: check-installer.sh INSTALLER WINEPREFIX
# Works on a copy of the prefix: the uninstaller runs from a copy of itself
# that outlives the call, and waiting for every process of a prefix must not
# wait for the other tests in it.
set -euo pipefail
installer=$1
# Nothing may be running in the prefix while it is copied.
WINEPREFIX=$2 wineserver -w
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/morvex-install-XXXXXX")
export WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
cp -a "$2/." "$WINEPREFIX"

run_under_wine=$(cd "$(dirname "$0")/../../cmake" && pwd)/run-under-wine.sh
wine() { "$run_under_wine" "$@"; }
fail() { echo "check-installer: $*" >&2; exit 1; }

drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Morvex"
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Morvex"

wine "$installer" /S
wineserver -w
for file in bin/morvex.exe bin/morvex.com Uninstall.exe; do
    [ -f "$program_dir/$file" ] || fail "not installed: Program Files/Morvex/$file"
done
[ -f "$start_menu/Morvex.lnk" ] || fail "no Start-menu entry Morvex"

# The installed program converts, from a folder of the user's.
work=$drive_c/users/Public/morvex-check
mkdir -p "$work"
printf 'AB\n' > "$work/in.bin"
(cd "$work" && wine 'C:\Program Files\Morvex\bin\morvex.com' h in.bin out.txt) || fail "conversion failed"
[ "$(cat "$work/out.txt")" = "0x41,0x42,0x0A," ] || fail "wrong conversion: $(cat "$work/out.txt")"
rm -rf "$work"

wine "$program_dir/Uninstall.exe" /S
wineserver -w
[ ! -e "$program_dir" ] || fail "left behind: $(cd "$program_dir" && find . | tr '\n' ' ')"
[ ! -e "$start_menu" ] || fail "Start-menu entries left behind"
echo "check-installer: installed, converted and removed"
