#!/usr/bin/env bash
# Builds the program if needed, then runs it with the given arguments.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -x "$here/build/app/morvex" ]; then
    "$here/scripts/install-deps.sh" >&2
    cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DMORVEX_GUI=ON >&2
fi
cmake --build "$here/build" --target morvex -j "$(nproc)" >&2
exec "$here/build/app/morvex" "$@"
