#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing
# (the C reader's tests ask the three compilers it stands in for).
#
#   scripts/install-deps.sh                  the Linux build and its tests
#   scripts/install-deps.sh --windows        those and the Windows cross-build's
#   scripts/install-deps.sh --windows-only   the Windows cross-build's alone
#
# One apt-get run for all of them saves a fresh machine an update of the
# package lists and a round of unpacking.
set -euo pipefail
linux=(cmake g++ make googletest libgtest-dev qt6-base-dev libxcb1 xvfb xauth xdotool fonts-nanum qt6-translations-l10n clang clang-19 clang-format-19 clang-tidy-14 libclang-rt-14-dev libclang-rt-19-dev desktop-file-utils man-db dpkg-dev file lintian appstream binutils icoutils xfsprogs e2fsprogs fuse3 python3-fusepy universal-ctags gcc-arm-none-eabi binutils-arm-none-eabi libnewlib-arm-none-eabi)
windows=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 nsis googletest locales icoutils xvfb xauth xdotool fonts-nanum)
case "${1:-}" in
    "") packages=("${linux[@]}") ;;
    --windows) packages=("${linux[@]}" "${windows[@]}") ;;
    --windows-only) packages=("${windows[@]}") ;;
    *) echo "usage: scripts/install-deps.sh [--windows|--windows-only]" >&2; exit 2 ;;
esac
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
