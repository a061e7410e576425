# Sourced by the wine tests: the Windows program to run ($1), a scratch
# folder $work with a wine prefix of its own (stopped and removed at exit),
# and the Korean locale, under which alone wine shows Korean in dialogs.
program="$(realpath "$1")"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
locale -a | grep -qi '^ko_KR\.utf-\?8$' || localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
export WINDOW_WAITS="$(realpath "$(dirname "$0")/..")/window-waits.sh"
