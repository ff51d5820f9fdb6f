#!/usr/bin/env bash
# Builds the client and the demo service, runs the service on loopback and
# opens the client against it. The service stops when the client closes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the client cannot open" >&2
    echo "a window you could see. Run this from a desktop session (X11, or Wayland with" >&2
    echo "XWayland), or over SSH with X11 forwarding (ssh -X)." >&2
    exit 1
fi

# The test command builds build/release with these same options, so neither
# command makes the other rebuild. A demo on another port is another build:
# the service's address is compiled into the client.
dir=build/release
options=(-DORVANE_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ -n "${ORVANE_DEMO_PORT:-}" ]; then
    case $ORVANE_DEMO_PORT in
    *[!0-9]* | '') echo "ORVANE_DEMO_PORT must be a port number." >&2; exit 1 ;;
    esac
    dir=build/demo-$ORVANE_DEMO_PORT
    options+=(-DORVANE_SERVICE_HOST=127.0.0.1:$ORVANE_DEMO_PORT -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF)
fi
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja "${options[@]}" >"$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" --target orvane orvane-demo-service

service_pid=
stop_service() {
    if [ -n "$service_pid" ]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
        service_pid=
    fi
}
trap stop_service EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Says who holds the service's port and what to do about it.
explain_taken_port() {
    local authority port holder stop="Stop that program"
    authority=$(sed -n 's/^ORVANE_SERVICE_HOST:STRING=//p' "$dir/CMakeCache.txt")
    port=${authority##*:}
    holder="a program this script cannot name (ss, from iproute2, names it)"
    if command -v ss >/dev/null; then
        local line
        line=$(ss -Hltnp "( sport = :$port )" 2>/dev/null | head -n 1)
        if [[ $line =~ users:\(\(\"([^\"]*)\",pid=([0-9]+) ]]; then
            local pid=${BASH_REMATCH[2]} name=${BASH_REMATCH[1]}
            # ss shows the first 15 characters of the name; the command line has all.
            [ -r "/proc/$pid/cmdline" ] && name=$(tr '\0\n' '  ' <"/proc/$pid/cmdline")
            holder="process $pid (${name% })"
            stop="Stop it (kill $pid)"
        elif [ -n "$line" ]; then
            holder="a process of another user (run ss -ltnp as root to name it)"
        fi
    fi
    echo "The demo service cannot listen on port $port: $holder already does." >&2
    echo "$stop, or run the demo on a free port, in a build of its own:" >&2
    echo "  ORVANE_DEMO_PORT=$((port + 1)) scripts/run-demo.sh" >&2
}

log=$dir/demo-service.log
"$dir/tools/demo_service/orvane-demo-service" >"$log" 2>&1 &
service_pid=$!
for _ in $(seq 100); do
    grep -q '^listening on ' "$log" && break
    if ! kill -0 "$service_pid" 2>/dev/null; then
        cat "$log" >&2
        if grep -q 'cannot listen on' "$log"; then
            explain_taken_port
        else
            echo "The demo service did not start." >&2
        fi
        exit 1
    fi
    sleep 0.1
done
grep -q '^listening on ' "$log" || { cat "$log" >&2; echo "The demo service is not listening." >&2; exit 1; }

echo "Demo service: $(sed -n 's/^listening on //p' "$log")"
grep "^demo login:" "$log"

# The client keeps its saved-login file in its working folder: keep it out of the sources.
mkdir -p "$dir/demo"
client=$PWD/$dir/app/orvane
(cd "$dir/demo" && "$client")
