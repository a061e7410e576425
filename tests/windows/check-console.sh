#!/usr/bin/env bash
# An error line shown on a console names a Korean file as it is, whatever the
# locale's code page: the program writes the console in UTF-16. Runs the
# console program under wine on a pseudo-terminal, which wine makes a console.
# Usage: check-console.sh MORVEX_COM WINEPREFIX
set -euo pipefail
program=$1
export WINEPREFIX=$2 WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

expected="morvex: cannot open source file '없음.bin': No such file or directory"
status=0
for locale in ko_KR.UTF-8 C.UTF-8; do
    for attempt in 1 2 3; do
        LANG=$locale script -qec "wine '$program' h 없음.bin out" /dev/null >shown 2>&1 || true
        # wine's own failed start (see cmake/run-under-wine.sh) is tried again.
        grep -q 'wine client error:0: ' shown || break
    done
    # Without the terminal's cursor controls and line ends.
    text=$(sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' shown)
    if [[ $text != *"$expected"* ]]; then
        echo "check-console: under $locale the console showed: $text" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "check-console: the Korean name shows on the console under both locales"
exit $status
