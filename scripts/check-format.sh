#!/usr/bin/env bash
# Checks that every C++ source is formatted as .clang-format says; with --fix,
# formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format-19 -i "${sources[@]}"
else
    clang-format-19 --dry-run --Werror "${sources[@]}"
fi
