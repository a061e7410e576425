#!/usr/bin/env bash
# Installs the Windows installer silently under wine and checks what it
# installed: the program, which converts, the licence and a CMake package that
# find_package resolves to the installed program. Installs again with
# /ADDTOPATH=1, which puts the program on PATH, uninstalls silently and checks
# that nothing is left, on disk or on PATH.
# Usage: check-installer.sh INSTALLER WINEPREFIX CMAKE
# Works on a copy of the prefix: the uninstaller runs from a copy of itself
# that outlives the call, and waiting for every process of a prefix must not
# wait for the other tests in it.
set -euo pipefail
installer=$1
cmake=$3
licence=$(cd "$(dirname "$0")/../.." && pwd)/LICENSE
# Nothing may be running in the prefix while it is copied: the copy that
# scripts/build-windows.sh keeps of it before any test ran is taken when
# there is one, else the prefix once its tests are done.
source_prefix=$2-pristine
if [ ! -f "$source_prefix/system.reg" ]; then
    source_prefix=$2
    WINEPREFIX=$2 wineserver -w
fi
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/morvex-install-XXXXXX")
export WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
cp -a "$source_prefix/." "$WINEPREFIX"

run_under_wine=$(cd "$(dirname "$0")/../../cmake" && pwd)/run-under-wine.sh
wine() { "$run_under_wine" "$@"; }
fail() { echo "check-installer: $*" >&2; exit 1; }

drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Morvex"
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Morvex"
installed_bin='C:\Program Files\Morvex\bin'

# The PATH every user's programs start with, one folder a line.
system_path() {
    wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH |
        tr -d '\r' | sed -n 's/^ *PATH *REG_[A-Z_]*SZ *//p' | tr ';' '\n'
}
on_system_path() { system_path | grep -qixF "$installed_bin"; }

wine "$installer" /S
wineserver -w
for file in bin/morvex.exe bin/morvex.com Uninstall.exe LICENSE.txt \
    cmake/MorvexConfig.cmake cmake/MorvexConfigVersion.cmake cmake/MorvexTargets.cmake \
    cmake/MorvexEmbed.cmake cmake/MorvexEmbedGenerate.cmake; do
    [ -f "$program_dir/$file" ] || fail "not installed: Program Files/Morvex/$file"
done
cmp -s "$program_dir/LICENSE.txt" "$licence" || fail "the installed licence is not LICENSE"
[ -f "$start_menu/Morvex.lnk" ] || fail "no Start-menu entry Morvex"
[ -n "$(system_path)" ] || fail "no system PATH to check"
if on_system_path; then fail "a silent install without /ADDTOPATH=1 put bin on PATH"; fi

# The CMake package, found through CMAKE_PREFIX_PATH as a build elsewhere
# would find it, names the installed console program.
consumer=$WINEPREFIX/find-morvex
mkdir -p "$consumer"
printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' \
    'project(find_morvex LANGUAGES NONE)' \
    'find_package(Morvex REQUIRED)' \
    'file(GENERATE OUTPUT program CONTENT "$<TARGET_FILE:Morvex::morvex>")' >"$consumer/CMakeLists.txt"
"$cmake" -S "$consumer" -B "$consumer/build" -DCMAKE_PREFIX_PATH="$program_dir" >"$consumer/log" 2>&1 ||
    fail "find_package(Morvex) failed: $(cat "$consumer/log")"
found=$(cat "$consumer/build/program")
[ "$found" = "$program_dir/bin/morvex.com" ] || fail "Morvex::morvex is $found, not the installed morvex.com"

# Installed again over itself with the switch, the program is on PATH and
# converts by its bare name, from a folder of the user's.
wine "$installer" /S /ADDTOPATH=1
wineserver -w
[ -f "$program_dir/bin/morvex.com" ] || fail "the second install left no program"
on_system_path || fail "/ADDTOPATH=1 did not put bin on PATH: $(system_path | tr "\n" " ")"
work=$drive_c/users/Public/morvex-check
mkdir -p "$work"
printf 'AB\n' > "$work/in.bin"
(cd "$work" && wine cmd /c morvex h in.bin out.txt) || fail "conversion by name failed"
[ "$(cat "$work/out.txt")" = "0x41,0x42,0x0A," ] || fail "wrong conversion: $(cat "$work/out.txt")"
rm -rf "$work"

wine "$program_dir/Uninstall.exe" /S
wineserver -w
[ ! -e "$program_dir" ] || fail "left behind: $(cd "$program_dir" && find . | tr '\n' ' ')"
[ ! -e "$start_menu" ] || fail "Start-menu entries left behind"
if on_system_path; then fail "bin left on PATH"; fi
echo "check-installer: installed, found, put on PATH, converted and removed"
