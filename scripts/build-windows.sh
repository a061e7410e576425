#!/usr/bin/env bash
# Cross-builds the Windows program (morvex.exe and its console twin morvex.com)
# and its installer through the mingw preset; installs what is missing first.
# Usage: scripts/build-windows.sh [BUILD_DIR]   (default build-windows)
# With MORVEX_NO_INSTALLER set, the installer is left to its test.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-windows}

scripts/install-deps.sh --windows-only

# The mingw preset, in another folder when one is given.
cmake --preset mingw -B "$build_dir"
cmake --build "$build_dir" -j "$(nproc)"
# test.sh sets MORVEX_NO_INSTALLER: its installer test makes the installer.
[ -n "${MORVEX_NO_INSTALLER:-}" ] || (cd "$build_dir" && cpack -G NSIS)

# The tests run under wine in the build tree's own prefix; making one takes a
# while, so it is made once, here, rather than by the first test that needs it.
prefix=$(sed -n 's/^MORVEX_WINEPREFIX:PATH=//p' "$build_dir/CMakeCache.txt")
if [ -n "$prefix" ] && [ ! -f "$prefix/system.reg" ]; then
    WINEPREFIX=$prefix WINEDEBUG=-all wineboot -i >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w
fi
# The installer test installs into a copy of a prefix nothing runs in; one
# kept from now lets it run beside the other tests rather than wait for them.
if [ -n "$prefix" ] && [ ! -f "$prefix-pristine/system.reg" ]; then
    WINEPREFIX=$prefix wineserver -w
    rm -rf "$prefix-pristine"
    cp -a "$prefix" "$prefix-pristine"
fi
