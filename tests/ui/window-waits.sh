# Sourced on the virtual display by the tests that drive windows with
# xdotool: the first visible window whose title matches, and waits of up to
# 10 s for one to appear and of up to 3 s for one to go.
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
wait_for() {
    for attempt in $(seq 100); do [ -n "$(visible "$1")" ] && return 0; sleep 0.1; done
    return 1
}
wait_gone() {
    for attempt in $(seq 30); do [ -z "$(visible "$1")" ] && return 0; sleep 0.1; done
    return 1
}
