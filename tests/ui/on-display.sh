# Sourced first by a test that drives windows with xdotool: runs the test
# again, once, on a virtual display of its own, so that the platform's
# functions and the test's steps share one shell; a test still running after
# 240 s is stopped.
if [ -z "${ON_VIRTUAL_DISPLAY:-}" ]; then
    export ON_VIRTUAL_DISPLAY=1
    exec timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" sh -eu "$0" "$@"
fi
