#!/usr/bin/env bash
# The real game under Xvfb: CPU use on the title screen at rest (presents paced to the display) over
# 20 s, from the process's own CPU time in /proc; and the peak resident memory over a minute of play
# (level 1 from Play, arrows held in turn, clicks on the level), from the kernel's high-water mark of
# the process (VmHWM in /proc/PID/status, what /usr/bin/time reports as maximum resident set size), read
# just before the game quits. Games are started and their help box answered as the end-to-end runs do
# it; only runs that finish count, and one that does not is tried again.
# Usage: bench/memory_cpu_xvfb.sh [BUILD_DIR (default build/release)] [RUNS (default 3)]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/release}")
runs=${2:-3}
e2e_name=memory_cpu_xvfb
# shellcheck source=tests/e2e/support/xvfb.sh
source tests/e2e/support/xvfb.sh
# shellcheck source=bench/measure.sh
source bench/measure.sh
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert bc

cmake --build "$build" --target vems -j 2 >/dev/null
start_xvfb
export SDL_AUDIODRIVER=dummy # no sound card here; the silent device still mixes

# One run; its figures left in cpu, rss (KiB) and played (seconds). False, with the reason, when the
# game did not come through it. start_game ends the whole script when no start works in three tries.
measure_one_run() {
  local before after started=$SECONDS turn
  start_game "$root/data" "$build/vems" "$e2e_scratch/game.log"
  has_game_window || { echo "the game ended at its start: $(cat "$e2e_scratch/game.log")"; return 1; }
  shot_until "$e2e_scratch/title.png" shows_title "$root/data" || { echo "no title screen"; return 1; }

  sleep 2 # past the start-up
  before=$(cpu_seconds "$e2e_game_pid")
  sleep 20
  after=$(cpu_seconds "$e2e_game_pid")
  cpu=$(echo "($after - $before) * 100 / 20" | bc -l)

  # Play: the cursor starts mid-screen and is moved onto Play; level 1 is awaited on screen.
  click_play_into_level1 "$e2e_scratch/play.png" "$root/data" || { echo "Play did not start level 1"; return 1; }
  for turn in $(seq 10); do
    hold Right 2.5
    hold "Right Up" 1
    hold Left 2
    xdotool mousemove_relative -- $((RANDOM % 200 - 100)) $((RANDOM % 160 - 80))
    click
    [ "$turn" -lt 10 ] || break
  done
  rss=$(awk '$1 == "VmHWM:" { print $2 }' "/proc/$e2e_game_pid/status")
  played=$((SECONDS - started))
  press Escape # to the title
  shot_until "$e2e_scratch/title-again.png" shows_title "$root/data" || { echo "Escape did not bring the title"; return 1; }
  press Escape # and out
  await_game
  [ "$e2e_status" -eq 0 ] || { echo "the game failed: $(cat "$e2e_scratch/game.log")"; return 1; }
}

# A run that went wrong leaves its game behind; it is stopped before the next.
stop_game() {
  if [ -n "$e2e_game_pid" ]; then
    kill "$e2e_game_pid" 2>/dev/null || true
    wait "$e2e_game_pid" 2>/dev/null || true
  fi
  e2e_game_pid=""
}

: >"$e2e_scratch/cpu" && : >"$e2e_scratch/rss"
finished=0
for attempt in $(seq $((2 * runs))); do
  [ "$finished" -lt "$runs" ] || break
  if ! measure_one_run; then
    echo "run $attempt not counted"
    stop_game
    continue
  fi
  finished=$((finished + 1))
  printf 'run %d: %.1f%% of a core on the title at rest; peak %d KiB (%.1f MiB) over %d s of running\n' \
    "$finished" "$cpu" "$rss" "$(echo "$rss / 1024" | bc -l)" "$played"
  echo "$cpu" >>"$e2e_scratch/cpu"
  echo "$rss" >>"$e2e_scratch/rss"
done
[ "$finished" -gt 0 ] || e2e_fail "no run finished"
printf 'median of %d: %.1f%% of a core at rest on the title; peak resident %.1f MiB\n' "$finished" \
  "$(median <"$e2e_scratch/cpu")" "$(echo "$(median <"$e2e_scratch/rss") / 1024" | bc -l)"
