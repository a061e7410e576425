# Sourced by the wine tests: the Windows program to run ($1), a scratch
# folder $work with a wine prefix of its own (stopped and removed at exit),
# and the Korean locale, under which alone wine shows Korean in dialogs.
program="$(realpath "$1")"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
locale -a | grep -qi '^ko_KR\.utf-\?8$' || localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8

# How a test on the display starts the program (the prefix made first, so
# that its making is not taken for the program's start), names a file to it
# (the Unix root is drive Z:), and finds a source whose conversion does not
# end within the test: a huge sparse file.
start_program() {
    wineboot -i >/dev/null 2>&1
    wine "$program" >"$work/wine.log" 2>&1 &
}
host_path() { printf 'Z:%s' "$(printf %s "$1" | tr / '\\')"; }
endless_source() {
    truncate -s 64G "$work/huge.bin"
    printf %s "$work/huge.bin"
}
