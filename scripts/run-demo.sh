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

werror=OFF
[ "${CI:-}" = true ] && werror=ON
dir=build/release
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja -DORVANE_WERROR=$werror -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
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

log=$dir/demo-service.log
"$dir/tools/demo_service/orvane-demo-service" >"$log" 2>&1 &
service_pid=$!
for _ in $(seq 100); do
    grep -q '^listening on ' "$log" && break
    if ! kill -0 "$service_pid" 2>/dev/null; then
        cat "$log" >&2
        echo "The demo service did not start." >&2
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
