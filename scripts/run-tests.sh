#!/usr/bin/env bash
# Builds everything and runs the whole suite: the format check, then the tests
# three ways: a plain build, a build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target from its
# committed corpus. Warnings are errors in every build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

fuzz_seconds=${ORVANE_FUZZ_SECONDS:-30}

echo "== Format (clang-format)"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t sources < <(find app controls service skin table tests bench fuzz tools \
        \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null)
fi
clang-format --dry-run --Werror "${sources[@]}"

configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DORVANE_WERROR=ON "$@" >"$dir.configure.log" 2>&1 \
        || { cat "$dir.configure.log"; exit 1; }
    cmake --build "$dir"
}
mkdir -p build

echo "== Plain build and tests"
# scripts/run-demo.sh builds build/release with these same options, so neither
# command makes the other rebuild: keep the two equal.
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
