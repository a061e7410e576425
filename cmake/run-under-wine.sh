#!/usr/bin/env bash
# Runs a Windows program under wine, for the tests, with its exit code.
# Now and then wine itself fails to start a program that is started just after
# another one ended: its loader prints "wine client error:0: recvmsg:
# Connection reset by peer" and exits with 1 before the program runs (about
# once in 500 to 1000 starts on this machine; never for programs started
# from inside a running one). Such a start, and only such, is tried again.
set -u
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2 3; do
    wine "$@" 2>"$errors"
    status=$?
    if [ "$status" -ne 1 ] || ! grep -q '^wine client error:0: ' "$errors"; then
        break
    fi
    echo "run-under-wine: wine failed to start $1, attempt $attempt" >&2
done
cat "$errors" >&2
exit "$status"
