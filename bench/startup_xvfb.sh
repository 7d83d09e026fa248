#!/usr/bin/env bash
# Start-up time of the real game under Xvfb: from the moment this script starts the process to its first
# presented title frame, with the help box answered at once by xdotool in a tight loop. A probe
# preloaded into the game notes when the box was shown and dismissed and when the first frame was
# presented, so the figure is also given without the time the box stood on screen.
# Usage: bench/startup_xvfb.sh [BUILD_DIR (default build/release)] [RUNS (default 9)]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/release}")
runs=${2:-9}
e2e_name=startup_xvfb
# shellcheck source=tests/e2e/support/xvfb.sh
source tests/e2e/support/xvfb.sh
e2e_need Xvfb xdotool xwininfo xdpyinfo cc sdl2-config

cmake --build "$build" --target vems -j 2 >/dev/null
# shellcheck disable=SC2046 # the flags are meant to split
cc -O2 -shared -fPIC $(sdl2-config --cflags) -o "$e2e_scratch/present_probe.so" bench/present_probe.c -ldl
start_xvfb
export SDL_AUDIODRIVER=dummy  # no sound card here; the silent device still mixes

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: >"$e2e_scratch/total" && : >"$e2e_scratch/without_box" && : >"$e2e_scratch/after_box"
for run in $(seq "$runs"); do
  probe=$e2e_scratch/probe.$run
  launched=$(($(date +%s%N) / 1000))
  (cd "$root/data" && VEMS_PROBE_FILE=$probe LD_PRELOAD=$e2e_scratch/present_probe.so exec "$build/vems") \
    >"$e2e_scratch/game.log" 2>&1 &
  e2e_game_pid=$!
  # Return to the box as soon as it exists, again until it is gone (it may take a key only once drawn).
  until grep -q first_present "$probe" 2>/dev/null; do
    box=$(help_box 2>/dev/null || true) # the box may vanish while its tree is read
    if [ -n "$box" ]; then xdotool windowfocus "$box" key Return 2>/dev/null || true; fi
    kill -0 "$e2e_game_pid" 2>/dev/null || e2e_fail "the game ended: $(cat "$e2e_scratch/game.log")"
  done
  kill "$e2e_game_pid"
  wait "$e2e_game_pid" 2>/dev/null || true
  e2e_game_pid=""
  at() { awk -v n="$1" '$1 == n { print $2 }' "$probe"; }
  total=$(($(at first_present) - launched))
  before=$(($(at box_shown) - launched))
  after=$(($(at first_present) - $(at box_dismissed)))
  echo "run $run: ${total} us to the first frame; ${before} us to the box, box up $((total - before - after)) us, ${after} us from its dismissal to the first frame"
  echo "$total" >>"$e2e_scratch/total"
  echo $((before + after)) >>"$e2e_scratch/without_box"
  echo "$after" >>"$e2e_scratch/after_box"
done
echo "median of $runs: $(median <"$e2e_scratch/total") us to the first frame," \
  "$(median <"$e2e_scratch/without_box") us of it not counting the box on screen," \
  "$(median <"$e2e_scratch/after_box") us from the box's dismissal"
