# Sourced by the Xvfb tests: the program to run ($1), settings in a folder of
# their own, and a real X display rather than Qt's offscreen platform.
program="$1"
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME="$config"
export WINDOW_WAITS="$(realpath "$(dirname "$0")")/window-waits.sh"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
