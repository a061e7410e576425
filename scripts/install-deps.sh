#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
packages=(cmake g++ make googletest libgtest-dev qt6-base-dev libxcb1 xvfb xauth xdotool fonts-nanum qt6-translations-l10n clang clang-19 clang-format-19 clang-tidy-14 libclang-rt-14-dev libclang-rt-19-dev desktop-file-utils man-db dpkg-dev file lintian appstream binutils icoutils xfsprogs e2fsprogs fuse3 python3-fusepy)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
