# Sourced by the Xvfb tests: the program to run ($1), a scratch folder $work
# (removed at exit) holding the settings, and a real X display rather than
# Qt's offscreen platform.
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/config"
export XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# How a test on the display starts the program, names a file to it, and
# finds a source whose conversion does not end by itself.
start_program() { "$program" & }
host_path() { printf %s "$1"; }
endless_source() { printf /dev/zero; }
