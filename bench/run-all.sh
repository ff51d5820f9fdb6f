#!/usr/bin/env bash
# Runs every benchmark of a finished build and prints one table: each figure,
# its floor measured in the same run, their ratio and the goal. Builds nothing.
#   bench/run-all.sh [BUILD_DIR]      (default: build/release)
# Each benchmark's own output goes to BUILD_DIR/bench/run-all.log. Run it on a
# quiet machine; the ratios hold better than the absolute figures on a busy one.
set -euo pipefail

build=${1:-build/release}
bin="$build/bench"
log="$bin/run-all.log"
for program in bench_startup_expose bench_minimal_window bench_login_to_table \
               bench_forecast_reply bench_http_get; do
    if [ ! -x "$bin/$program" ]; then
        echo "run-all.sh: $bin/$program is missing: build the project first" >&2
        exit 1
    fi
done

: > "$log"
rows=()
run() {
    echo "== $*" | tee -a "$log" >&2
    local out
    out=$("$@" 2>>"$log" | tee -a "$log")
    while IFS= read -r line; do
        rows+=("${line#ROW	}")
    done < <(sed 's/\x1b\[[0-9;]*m//g' <<<"$out" | grep '^ROW	')
}

run "$bin/bench_startup_expose" --runs 15
run "$bin/bench_login_to_table" --runs 5
run "$bin/bench_forecast_reply" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_color=false
run "$bin/bench_http_get" --runs 61

{
    printf 'figure\tvalue\tfloor\tratio\tgoal\tresult\n'
    printf '%s\n' "${rows[@]}"
} | column -t -s $'\t'
