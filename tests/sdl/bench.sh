#!/usr/bin/env bash
# Prints the Linux program's figures under a private Xvfb with the dummy sound
# driver: start-up to the first picture, peak resident memory, CPU while paused
# and while a level-1 game runs untouched (10 seconds each), and one key move
# handled and shown; once at scale 1 (no Xft.dpi) and once at scale 2 (Xft.dpi
# 192 on a 1920 by 1200 screen). Figures only: nothing here passes or fails.
#   tests/sdl/bench.sh BUILD_DIR     (BUILD_DIR holds quarvelle and quarvelle_sdl_bench, built from tests/sdl)
set -euo pipefail
build="$(cd "${1:?usage: bench.sh BUILD_DIR}" && pwd)"
scratch="$(mktemp -d)"
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

bench_at() {  # scale screen dpi
  local k="$1" screen="$2" dpi="$3"
  rm -f "$scratch/display" "$scratch"/*.txt
  exec 3>"$scratch/display"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$scratch/display")" SDL_AUDIODRIVER=dummy
  unset XAUTHORITY
  [ -n "$dpi" ] && echo "Xft.dpi: $dpi" | xrdb -nocpp -merge
  echo "######## scale $k: ${screen} screen, Xft.dpi ${dpi:-not set}"

  cd "$scratch"
  {
    printf '[Do not cheat!]%173s.\n' ''
    for s in 50 40 30 20 10; do echo "Unknown;$s;1;0"; done
    echo 5675
  } > VORN.DAT

  echo "== start-up to the first picture and one key move: 5 runs of quarvelle_sdl_bench, median"
  for _ in 1 2 3 4 5; do
    started=$(date +%s%N)
    "$build/quarvelle_sdl_bench" > run.txt
    cat run.txt >> bench.txt
    awk -v s="$started" '/shown at:/{printf "%.1f\n", ($5 - s) / 1e6}' run.txt >> launch.txt
  done
  awk '/shown: .* after main/{print $4}' bench.txt | sort -n | awk '{v[NR]=$1} END{printf "first picture shown: %.1f ms after main() (median; fastest %.1f)\n", v[3], v[1]}'
  sort -n launch.txt | awk '{v[NR]=$1} END{printf "first picture shown: %.1f ms after the launch, libraries loaded included (median; fastest %.1f)\n", v[3], v[1]}'
  awk '/key move/{print $10}' bench.txt | sort -n | awk '{v[NR]=$1} END{printf "key move handled and shown: %.1f us median of the runs'"'"' medians\n", v[3]}'
  awk '/key move/{print $14}' bench.txt | sort -n | awk '{v[NR]=$1} END{printf "key move, 99th percentile: %.1f us (median of the runs)\n", v[3]}'
  echo "-- each run:"; grep -v "shown at:\|key move" bench.txt || true

  # CPU time of every thread of the process, in nanoseconds.
  cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{t += $1} END {printf "%d", t}'; }
  cpu_percent() {  # pid seconds
    local before after
    before=$(cpu_ns "$1"); sleep "$2"; after=$(cpu_ns "$1")
    awk -v t=$((after - before)) -v s="$2" 'BEGIN { printf "%.4f", 100 * t / 1e9 / s }'
}

"$build/quarvelle" &
game_pid=$!
wid=""
for _ in $(seq 100); do wid=$(xdotool search --name '^Quarvelle$' 2>/dev/null | head -n1) && [ -n "$wid" ] && break; sleep 0.05; done
sleep 0.5
read -r x y < <(xwininfo -id "$wid" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
xdotool windowfocus "$wid"
xdotool mousemove $((x + 73 * k)) $((y + 73 * k)) click 1      # Go
sleep 1
echo "== CPU, a level-1 game running untouched, 10 s: $(cpu_percent "$game_pid" 10) % of one core"
xdotool mousemove $((x + 73 * k)) $((y + 107 * k)) click 1     # Pause
sleep 0.5
echo "== CPU, paused, 10 s: $(cpu_percent "$game_pid" 10) % of one core"
echo "== peak resident memory: $(awk '/VmHWM/{printf "%.1f MB", $2 / 1024}' "/proc/$game_pid/status")"
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
}

bench_at 1 1280x1024 ""
bench_at 2 1920x1200 192
