#!/usr/bin/env bash
# Makes the Debian packages with CPack and checks them as a packager would:
# the expected .debs and no others, lintian without errors or warnings, a
# command-line package that needs no Qt, hardened binaries, and with the
# dialogs a package that depends on it and carries a valid desktop entry and
# AppStream metainfo.
# Usage: check-packages.sh <build-dir> <version>
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

dialogs_built=false
[ -f "$build/app/morvex-dialogs.so" ] && dialogs_built=true
arch=$(dpkg --print-architecture)
cli_deb=morvex_${version}_$arch.deb
dialogs_deb=morvex-dialogs_${version}_$arch.deb

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null)
made=$(cd "$work/pkg" && ls -- *.deb | xargs)
expected=$cli_deb
$dialogs_built && expected="$dialogs_deb $cli_deb"
[ "$made" = "$expected" ] || fail "cpack made '$made', not '$expected'"

lintian_output=$(lintian "$work"/pkg/*.deb 2>&1 | grep -v '^running with root privileges') || true
if grep -Eq '^[EW]: ' <<<"$lintian_output"; then fail "lintian: $lintian_output"; fi

# The command line needs neither Qt nor any other toolkit.
cli=$work/pkg/$cli_deb
depends=$(dpkg-deb -f "$cli" Depends)
grep -qi 'qt' <<<"$depends" && fail "$cli_deb depends on Qt: $depends"
dpkg-deb -x "$cli" "$work/cli"
needed=$(readelf -d "$work/cli/usr/bin/morvex" | grep NEEDED)
grep -qi 'qt' <<<"$needed" && fail "the program links Qt: $needed"
[ -n "$(dpkg-deb -f "$cli" Description | sed -n 2p)" ] || fail "$cli_deb has no extended description"

# Hardened: position-independent, full RELRO, bound at start-up.
hardened() {
    local elf=$1
    readelf -hW "$elf" | grep -q 'Type:.*DYN' || fail "$elf is not position-independent"
    readelf -lW "$elf" | grep -q GNU_RELRO || fail "$elf has no RELRO segment"
    readelf -dW "$elf" | grep -Eq 'BIND_NOW|FLAGS.*NOW' || fail "$elf is not bound at start-up"
}
hardened "$work/cli/usr/bin/morvex"

if $dialogs_built; then
    dialogs=$work/pkg/$dialogs_deb
    depends=$(dpkg-deb -f "$dialogs" Depends)
    grep -q "morvex (= $version)" <<<"$depends" || fail "$dialogs_deb does not depend on morvex $version: $depends"
    grep -q 'libqt6widgets' <<<"$depends" || fail "$dialogs_deb does not depend on Qt Widgets: $depends"
    # A private module: nothing for ldconfig to do.
    dpkg-deb -e "$dialogs" "$work/control"
    scripts=$(ls "$work/control" | grep -E '^(postinst|postrm|triggers)$' || true)
    [ -z "$scripts" ] || fail "$dialogs_deb has $scripts"
    dpkg-deb -x "$dialogs" "$work/dialogs"
    module=$(find "$work/dialogs/usr/lib" -name 'morvex-dialogs.so')
    [ -n "$module" ] || fail "no dialogs module in $dialogs_deb"
    hardened "$module"
    metainfo=("$work"/dialogs/usr/share/metainfo/*.metainfo.xml)
    [ -f "${metainfo[0]}" ] || fail "no metainfo"
    # The whole tree, so that the metainfo is checked with its desktop entry.
    appstreamcli validate-tree --no-net "$work/dialogs" >"$work/appstream.log" 2>&1 ||
        fail "appstreamcli: $(cat "$work/appstream.log")"
    grep -q '<launchable type="desktop-id">morvex.desktop</launchable>' "${metainfo[@]}" ||
        fail "metainfo does not launch morvex.desktop"
    [ -f "$work/dialogs/usr/share/applications/morvex.desktop" ] || fail "no desktop entry"
    # Every icon size goes with the menu entry, none with the command line.
    for size in 16 24 32 48 64 128 256; do
        [ -f "$work/dialogs/usr/share/icons/hicolor/${size}x${size}/apps/morvex.png" ] ||
            fail "no ${size}x${size} icon in $dialogs_deb"
    done
    [ ! -e "$work/cli/usr/share/icons" ] || fail "$cli_deb carries icons"
    validation=$(desktop-file-validate "$work/dialogs/usr/share/applications/morvex.desktop" 2>&1) || true
    [ -z "$validation" ] || fail "desktop-file-validate: $validation"
fi
echo "packages OK: $made"
