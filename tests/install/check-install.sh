#!/usr/bin/env bash
# Installs the build into a temporary tree, either with `cmake --install` or
# by unpacking the .debs that CPack makes, and checks that the tree is a
# desktop-ready install: program, manual page, completion and CMake package,
# and with the dialogs their module, menu entry and icon, all in place and
# valid, and the installed program converting.
# Usage: check-install.sh <build-dir> install|deb <version>
set -euo pipefail
build=$1
mode=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

dialogs_built=false
[ -f "$build/app/morvex-dialogs.so" ] && dialogs_built=true

case $mode in
install)
    cmake --install "$build" --prefix "$work/root" >/dev/null
    prefix=$work/root
    ;;
deb)
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null)
    for deb in "$work"/pkg/*.deb; do
        dpkg-deb -x "$deb" "$work/root"
    done
    prefix=$work/root/usr
    ;;
*) fail "unknown mode '$mode'" ;;
esac

program=$prefix/bin/morvex
manpage=$prefix/share/man/man1/morvex.1.gz
completion=$prefix/share/bash-completion/completions/morvex
[ -x "$program" ] || fail "no program at $program"
[ -f "$manpage" ] || fail "no gzipped manual page at $manpage"
[ -f "$completion" ] || fail "no bash completion at $completion"
[ -f "$prefix/share/cmake/Morvex/MorvexConfig.cmake" ] || fail "no CMake package"
for doc in copyright changelog.gz; do
    [ -f "$prefix/share/doc/morvex/$doc" ] || fail "no $doc in share/doc/morvex"
done
if $dialogs_built; then
    # The menu entry: the validator has nothing to say about it, its one
    # main category is Development, and its program and icon are the
    # installed ones.
    entry=$prefix/share/applications/morvex.desktop
    [ -f "$entry" ] || fail "no desktop entry at $entry"
    validation=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $validation"
    [ -z "$validation" ] || fail "desktop-file-validate: $validation"
    # The program, given the file that was opened with it.
    grep -qx 'Exec=morvex %f' "$entry" || fail "Exec is not the installed program with the file: $(grep '^Exec=' "$entry")"
    grep -qx 'Icon=morvex' "$entry" || fail "Icon is not the installed icon"
    grep -q '^Comment\[ko\]=' "$entry" || fail "no Korean comment"
    grep -qx 'Categories=Development;' "$entry" || fail "categories"

    # The icons: one in every size menus and docks ask for, each a PNG whose
    # size matches the hicolor folder it sits in.
    for size in 16 24 32 48 64 128 256; do
        [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/morvex.png" ] || fail "no ${size}x${size} icon in the hicolor theme"
    done
    icons=("$prefix"/share/icons/hicolor/*/apps/morvex.png)
    for icon in "${icons[@]}"; do
        folder=$(basename "$(dirname "$(dirname "$icon")")")
        width=$(od -An -tu1 -j16 -N4 "$icon" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
        height=$(od -An -tu1 -j20 -N4 "$icon" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
        [ "$folder" = "${width}x${height}" ] || fail "icon of ${width}x${height} in folder $folder"
    done
fi

# The manual page renders without a single warning and has its sections.
warnings=$(MANWIDTH=80 man --warnings -l "$manpage" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warnings: $warnings"
rendered=$(MANWIDTH=80 man -l "$manpage" 2>/dev/null)
grep -q "morvex $version" <<<"$rendered" || fail "manual page does not name version $version"
for section in SYNOPSIS OPTIONS 'TEXT ARRAY FORMAT' EMBEDDING 'EXIT STATUS' FILES EXAMPLES 'SEE ALSO'; do
    grep -q "^$section" <<<"$rendered" || fail "manual page has no $section section"
done

# The installed program runs on its own and converts.
printf 'AB' >"$work/in.bin"
"$program" h "$work/in.bin" "$work/out.txt"
[ "$(cat "$work/out.txt")" = '0x41,0x42,' ] || fail "installed program wrote '$(cat "$work/out.txt")'"

# The completion offers the options for the first word, file names for the
# next two and nothing after them.
completions() {
    (cd "$work" && bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _morvex; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@")
}
every_unit() { printf "$1%s " '' 1 2 3 4 5 6 7 8 9; }
[ "$(completions morvex '' | LC_ALL=C sort | xargs)" = "--abi --array --help --version -D -U -V -h $(every_unit b)$(every_unit c)$(every_unit h)$(every_unit i | xargs)" ] ||
    fail "options offered: $(completions morvex '' | xargs)"
[ "$(completions morvex h | xargs)" = 'h h1 h2 h3 h4 h5 h6 h7 h8 h9' ] || fail "options after h"
[ "$(completions morvex h4 in)" = in.bin ] || fail "source file: $(completions morvex h4 in)"
[ "$(completions morvex h4 in.bin ou)" = out.txt ] || fail "destination file"
[ "$(completions morvex b4 -)" = - ] || fail "standard input: $(completions morvex b4 -)"
[ "$(completions morvex b4 - -)" = - ] || fail "standard output: $(completions morvex b4 - -)"
[ -z "$(completions morvex h4 in.bin out.txt '')" ] || fail "completion after the destination"
# Options before the conversion option: --abi's values, in both its forms,
# and the conversion option and files after them.
abis='x86_64-linux x86_64-windows arm-eabi'
[ "$(completions morvex --abi '' | xargs)" = "$abis" ] || fail "--abi values: $(completions morvex --abi '' | xargs)"
[ "$(completions morvex --abi = ar)" = arm-eabi ] || fail "--abi=: $(completions morvex --abi = ar)"
[ -z "$(completions morvex --array '')" ] || fail "completion of an array name"
[ "$(completions morvex -DX --abi=arm-eabi --array t c | xargs)" = "$(every_unit c | xargs)" ] ||
    fail "conversion after options: $(completions morvex -DX --abi=arm-eabi --array t c | xargs)"
[ "$(completions morvex -D X -- c4 in)" = in.bin ] || fail "source after options: $(completions morvex -D X -- c4 in)"

# With the dialogs built, the installed program finds its dialogs module: on
# Qt's offscreen platform the main dialog then waits until it is stopped,
# while a module that cannot be loaded ends the program at once.
if $dialogs_built; then
    status=0
    XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen timeout 3 "$program" >"$work/dialogs.log" 2>&1 || status=$?
    [ "$status" -eq 124 ] || fail "dialog mode ended with $status: $(cat "$work/dialogs.log")"
fi
echo "install ($mode) OK: $prefix"
