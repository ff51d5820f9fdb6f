#!/usr/bin/env bash
# Makes sure the Debian packages that building and testing need are present.
# As root it installs what is missing; otherwise it prints the one command to run.
#   install-deps.sh        what the test command needs
#   install-deps.sh run    what the run command needs
#   install-deps.sh package  what building the Debian package needs
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6)
if [ "${1:-}" = run ]; then
    # The window needs an X11 display; Qt's X11 platform plugin needs these at run time.
    # ss (iproute2) names the program that holds the demo service's port.
    packages+=(libxcb-cursor0 libxkbcommon-x11-0 iproute2)
elif [ "${1:-}" = package ]; then
    # CPack's Debian generator reads the libraries' package names with dpkg-shlibdeps
    # and tells executables apart with file; dpkg-buildflags gives Debian's hardening;
    # lintian checks the package as Debian's archive would.
    packages+=(dpkg-dev file lintian)
else
    # clang for the fuzz targets, clang-format for the format check, Google Benchmark,
    # curl, libxcb1-dev and pkg-config for the benchmarks, Xvfb for the tests that drive a
    # real X11 window, the validators of the menu entry and the software-centre file.
    packages+=(clang libclang-rt-14-dev clang-format libbenchmark-dev curl libxcb1-dev
               pkg-config xvfb xauth libxcb-cursor0 libxkbcommon-x11-0 desktop-file-utils appstream)
    # The desktop tests: synthetic input, a session bus with the accessibility bus it
    # starts, and Debian's Python with the bindings that read the accessibility tree.
    packages+=(xdotool dbus-daemon at-spi2-core python3 python3-gi gir1.2-atspi-2.0)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
