#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the engine (fileio/, codec/)
# and the command line (cli/), compiled as BUILD_DIR compiles them, and fails
# on any finding.
#
#   scripts/tidy.sh [BUILD_DIR] [FILE...]   default build (cmake --preset release)
#
# TIDY_JOBS files are checked at a time (default: one a core).
# Only configuring the build is needed: its compile_commands.json.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
tidy=clang-tidy-14
command -v $tidy >/dev/null || { echo "tidy: $tidy is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
# clang-tidy reports a .clang-tidy it cannot read, and then checks nothing
# and passes.
config_errors=$($tidy --dump-config 2>&1 >/dev/null || true)
[ -z "$config_errors" ] || { echo "$config_errors" >&2; echo "tidy: .clang-tidy does not parse" >&2; exit 1; }
[ -f "$build/compile_commands.json" ] || { echo "tidy: no $build/compile_commands.json; configure first" >&2; exit 1; }

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
    # An engine source is compiled twice, the second time for the _small_io
    # tests with a smaller buffer: once is enough here.
    mapfile -t files < <(python3 - "$build/compile_commands.json" "$PWD" <<'PY'
import json, os, sys
root = sys.argv[2]
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.split(os.sep)[0] in ("fileio", "codec", "cli") and path not in seen:
        seen.add(path)
        print(path)
PY
    )
fi
[ ${#files[@]} -gt 0 ] || { echo "tidy: no sources of fileio/, codec/ or cli/ in $build" >&2; exit 1; }

# One file a process, so that each file's findings come out together; the
# "N warnings generated" chatter goes, the findings and errors stay.
status=0
printf '%s\0' "${files[@]}" |
    xargs -0 -n 1 -P "${TIDY_JOBS:-$(nproc)}" bash -c '
        out=$("$0" -p "$1" --quiet "$2" 2>&1) && rc=0 || rc=$?
        [ -z "$out" ] || grep -v "^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated\.$" <<<"$out" || true
        exit $rc' "$tidy" "$build" || status=$?
if [ $status -ne 0 ]; then
    echo "tidy: findings above (checks in .clang-tidy)" >&2
    exit 1
fi
echo "tidy: ${#files[@]} files, no findings"
