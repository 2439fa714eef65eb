#!/bin/sh
# The long start-up stress run (ctest runs 70 of each, unloaded): COUNT starts
# of each kind (no VORN.DAT, a bad checksum, a valid file), on an Xvfb made
# anew every three starts, while a parallel build keeps both cores busy.
# Prints the lost starts and the figures.
#   tests/sdl/startup_stress.sh [BUILD_DIR] [COUNT]      (defaults: build 500)
# STARTUP_KEEP=DIR keeps the pictures and stacks of lost starts; LOAD=0 runs
# unloaded; STARTUP_XRESET=1 lets the X server reset whenever its last client
# leaves, as the test run does: a start then often meets a server not ready for it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-build}
count=${2:-500}
load_dir="$root/build-stress-load"
load_pid=
stop_load() { [ -n "$load_pid" ] && kill "$load_pid" 2>/dev/null; wait 2>/dev/null || true; }
trap stop_load EXIT INT TERM
if [ "${LOAD:-1}" != 0 ]; then
    cmake -S "$root" -B "$load_dir" >/dev/null
    # Rebuilds the game library over and over with -j2 in a build dir of its own.
    ( while :; do cmake --build "$load_dir" -j2 --target quarvelle_game --clean-first >/dev/null 2>&1; done ) &
    load_pid=$!
fi
python3 "$here/startup_test.py" stress "$build/quarvelle" "$count"
