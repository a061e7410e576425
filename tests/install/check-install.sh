#!/usr/bin/env bash
# Installs the build into a temporary tree, either with `cmake --install` or
# by unpacking the .deb that CPack makes, and checks that the tree is a
# desktop-ready install: program, menu entry, icon and manual page in place
# and valid, and the installed program converting.
# Usage: check-install.sh <build-dir> install|deb
set -euo pipefail
build=$1
mode=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

case $mode in
install)
    cmake --install "$build" --prefix "$work/root" >/dev/null
    prefix=$work/root
    ;;
deb)
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null)
    deb=$(find "$work/pkg" -maxdepth 1 -name 'morvex_*.deb')
    [ -n "$deb" ] || fail "cpack made no .deb"
    [ "$(dpkg-deb -f "$deb" Package)" = morvex ] || fail "package name"
    dpkg-deb -x "$deb" "$work/root"
    prefix=$work/root/usr
    ;;
*) fail "unknown mode '$mode'" ;;
esac

program=$prefix/bin/morvex
entry=$prefix/share/applications/morvex.desktop
manpage=$prefix/share/man/man1/morvex.1
[ -x "$program" ] || fail "no program at $program"
[ -f "$entry" ] || fail "no desktop entry at $entry"
[ -f "$manpage" ] || fail "no manual page at $manpage"

# The menu entry: valid (hints allowed, no errors or warnings), and its
# program and icon are the installed ones.
validation=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $validation"
if grep -Eq ': (error|warning): ' <<<"$validation"; then fail "desktop-file-validate: $validation"; fi
grep -qx 'Exec=morvex' "$entry" || fail "Exec is not the installed program"
grep -qx 'Icon=morvex' "$entry" || fail "Icon is not the installed icon"
grep -q '^Comment\[ko\]=' "$entry" || fail "no Korean comment"
grep -qx 'Categories=Development;Utility;' "$entry" || fail "categories"

# The icon: a PNG whose size matches the hicolor folder it sits in.
icons=("$prefix"/share/icons/hicolor/*/apps/morvex.png)
[ -f "${icons[0]}" ] || fail "no icon in the hicolor theme"
for icon in "${icons[@]}"; do
    folder=$(basename "$(dirname "$(dirname "$icon")")")
    width=$(od -An -tu1 -j16 -N4 "$icon" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    height=$(od -An -tu1 -j20 -N4 "$icon" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    [ "$folder" = "${width}x${height}" ] || fail "icon of ${width}x${height} in folder $folder"
done

# The manual page renders without a single warning and has its sections.
warnings=$(MANWIDTH=80 man --warnings -l "$manpage" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warnings: $warnings"
rendered=$(MANWIDTH=80 man -l "$manpage" 2>/dev/null)
for section in SYNOPSIS OPTIONS 'TEXT ARRAY FORMAT' 'EXIT STATUS' FILES; do
    grep -q "^$section" <<<"$rendered" || fail "manual page has no $section section"
done

# The installed program runs on its own and converts.
printf 'AB' >"$work/in.bin"
"$program" h "$work/in.bin" "$work/out.txt"
[ "$(cat "$work/out.txt")" = '0x41,0x42,' ] || fail "installed program wrote '$(cat "$work/out.txt")'"

# With the dialogs built, the installed program finds its dialogs module: on
# Qt's offscreen platform the main dialog then waits until it is stopped,
# while a module that cannot be loaded ends the program at once.
if [ -f "$build/app/morvex-dialogs.so" ]; then
    status=0
    XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen timeout 3 "$program" >"$work/dialogs.log" 2>&1 || status=$?
    [ "$status" -eq 124 ] || fail "dialog mode ended with $status: $(cat "$work/dialogs.log")"
fi
echo "install ($mode) OK: $prefix"
