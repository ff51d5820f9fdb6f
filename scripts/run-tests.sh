#!/usr/bin/env bash
# Builds everything and runs the whole suite three ways: a plain build, a build
# under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of
# every fuzz target from its committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

werror=OFF
[ "${CI:-}" = true ] && werror=ON
fuzz_seconds=${ORVANE_FUZZ_SECONDS:-30}

configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DORVANE_WERROR=$werror "$@" >"$dir.configure.log" 2>&1 \
        || { cat "$dir.configure.log"; exit 1; }
    cmake --build "$dir"
}
mkdir -p build

echo "== Plain build and tests"
configure build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build/release --output-on-failure

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
configure build/asan -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON -DORVANE_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure

echo "== Fuzz targets, ${fuzz_seconds} s each"
CC=clang CXX=clang++ configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_FUZZ=ON \
    -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF -DORVANE_FUZZ_SECONDS="$fuzz_seconds"
ctest --test-dir build/fuzz --output-on-failure
