#!/usr/bin/env bash
# Builds the Debian package of the client into build/package, for installing
# under /usr. Extra arguments go to CMake, e.g.
#   scripts/build-package.sh -DORVANE_SERVICE_HOST=forecasts.example.net
# Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package >&2

dir=build/package
# Debian's hardening, bind-now included; passed as values so a later run with
# other flags updates the build.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF "$@" >"$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log" >&2; exit 1; }
cmake --build "$dir" >&2
rm -f "$dir"/orvane_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb=$(ls "$PWD/$dir"/orvane_*.deb)
# A package Debian's own checker finds fault with is not one to hand out.
lintian --fail-on error,warning "$deb" >&2
echo "$deb"
