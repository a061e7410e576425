# Sourced on the virtual display by the tests that drive windows with
# xdotool: the program started with its main dialog focused, the first
# visible window whose title matches, and waits of up to 10 s for one to
# appear and of up to 3 s for one to go.

# Ends the test, and the program when it runs.
fail() {
    echo "$1" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

# Starts the program (start_program, from the platform's file) and waits up
# to 30 s for its main dialog: $pid and $main, focused.
open_main_dialog() {
    start_program
    pid=$!
    main=$(timeout 30 xdotool search --sync --onlyvisible --name "^Morvex v1\.10\$" | head -n 1)
    [ -n "$main" ] || fail "no main dialog"
    xdotool windowfocus --sync "$main"
}

visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
wait_for() {
    for attempt in $(seq 100); do [ -n "$(visible "$1")" ] && return 0; sleep 0.1; done
    return 1
}
wait_gone() {
    for attempt in $(seq 30); do [ -z "$(visible "$1")" ] && return 0; sleep 0.1; done
    return 1
}
