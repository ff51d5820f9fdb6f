#!/usr/bin/env bash
# The menu's launcher, as installed: it makes the per-user folder owner-only,
# reuses it, and execs the installed program with that folder as its working
# folder, where the program keeps its saved-login file.
#   test_launcher.sh <install root> <launcher path> <program path>
set -euo pipefail
root=$1
launcher=$root$2
program=$(readlink -f "$root$3")
tmp=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $row: $*" >&2; failures=$((failures + 1)); }

# Starts the launcher with a clean environment plus the given variables, waits
# until the program has replaced it, and prints the program's working folder.
start() {
    local mask=$1
    shift
    env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "$@" \
        sh -c 'umask "$0"; exec "$1"' "$mask" "$launcher" >"$tmp/out" 2>&1 &
    pid=$!
    for _ in $(seq 200); do
        if [ "$(readlink "/proc/$pid/exe" || true)" = "$program" ]; then
            readlink "/proc/$pid/cwd"
            kill "$pid"
            wait "$pid" 2>/dev/null || true
            pid=
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    cat "$tmp/out" >&2
    return 1
}

mode() { stat -c %a "$1"; }

# row | umask | environment | expected folder
n=0
while IFS='|' read -r row mask var expected; do
    n=$((n + 1))
    home=$tmp/home$n
    mkdir -p "$home"
    set -- HOME="$home"
    [ -n "$var" ] && set -- "$@" "${var//@HOME@/$home}"
    folder=${expected//@HOME@/$home}
    cwd=$(start "$mask" "$@") || { fail "program did not start"; continue; }
    [ "$cwd" = "$folder" ] || fail "working folder $cwd, expected $folder"
    [ "$(mode "$folder")" = 700 ] || fail "fresh folder has mode $(mode "$folder")"
    # A second start reuses the folder and what the program saved in it.
    echo saved >"$folder/cap.log"
    inode=$(stat -c %i "$folder")
    cwd=$(start "$mask" "$@") || { fail "second start failed"; continue; }
    [ "$cwd" = "$folder" ] && [ "$(stat -c %i "$folder")" = "$inode" ] \
        && [ "$(cat "$folder/cap.log")" = saved ] || fail "second start did not reuse $folder"
done <<'ROWS'
default|022||@HOME@/.local/state/orvane
xdg state home|022|XDG_STATE_HOME=@HOME@/xdg|@HOME@/xdg/orvane
open umask|000||@HOME@/.local/state/orvane
relative xdg state home is ignored|022|XDG_STATE_HOME=xdg|@HOME@/.local/state/orvane
ROWS

# A folder that cannot be made stops the launcher before the program runs.
row=blocked
mkdir -p "$tmp/blocked/.local"
touch "$tmp/blocked/.local/state"
if start 022 HOME="$tmp/blocked" >/dev/null 2>&1; then
    fail "program started without its folder"
fi

[ "$failures" -eq 0 ] && echo "launcher: all rows pass"
exit $((failures > 0))
