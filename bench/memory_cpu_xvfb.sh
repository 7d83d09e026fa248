#!/usr/bin/env bash
# The real game under Xvfb: CPU use on the title screen at rest (presents paced to the display) over
# 20 s, from the process's own CPU time in /proc; and the peak resident memory over a minute of play
# (level 1 from Play, arrows held in turn, clicks on the level), from /usr/bin/time -v.
# Usage: bench/memory_cpu_xvfb.sh [BUILD_DIR (default build/release)] [RUNS (default 3)]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/release}")
runs=${2:-3}
e2e_name=memory_cpu_xvfb
# shellcheck source=tests/e2e/support/xvfb.sh
source tests/e2e/support/xvfb.sh
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert /usr/bin/time

cmake --build "$build" --target vems -j 2 >/dev/null
start_xvfb
export SDL_AUDIODRIVER=dummy # no sound card here; the silent device still mixes

# CPU seconds (user + system) the process has used so far.
cpu_seconds() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$e2e_scratch/cpu" && : >"$e2e_scratch/rss"
for run in $(seq "$runs"); do
  # /usr/bin/time starts the game and reports its peak when it ends.
  (cd "$root/data" && exec /usr/bin/time -v -o "$e2e_scratch/time.$run" "$build/vems") >"$e2e_scratch/game.log" 2>&1 &
  timer=$!
  wait_for 100 has_help_box || e2e_fail "the help box did not appear: $(cat "$e2e_scratch/game.log")"
  e2e_game_pid=$(pgrep -P "$timer")
  sleep 0.3 # let the box draw before it takes the key
  xdotool windowfocus --sync "$(help_box)" key Return
  wait_for 100 has_game_window || e2e_fail "the game window did not appear"

  sleep 2 # past the start-up
  before=$(cpu_seconds "$e2e_game_pid")
  sleep 20
  after=$(cpu_seconds "$e2e_game_pid")
  cpu=$(echo "($after - $before) * 100 / 20" | bc -l)

  # Play: the cursor starts mid-screen; Play is at 154..272, 316..350.
  xdotool mousemove_relative -- -120 90
  click
  sleep 0.5
  shot "$e2e_scratch/play.png"
  shows_title "$e2e_scratch/play.png" "$root/data" && e2e_fail "Play did not start a level"
  for turn in $(seq 10); do
    hold Right 2.5
    hold "Right Up" 1
    hold Left 2
    xdotool mousemove_relative -- $((RANDOM % 200 - 100)) $((RANDOM % 160 - 80))
    click
    [ "$turn" -lt 10 ] || break
  done
  press Escape # to the title
  sleep 0.5
  press Escape # and out
  wait_for 100 game_ended || e2e_fail "the game did not end"
  e2e_game_pid=""
  wait "$timer" || e2e_fail "the game failed: $(cat "$e2e_scratch/game.log")"
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$e2e_scratch/time.$run")
  played=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$e2e_scratch/time.$run")
  printf 'run %d: %.1f%% of a core on the title at rest; peak %d KiB (%.1f MiB) over %s of running\n' \
    "$run" "$cpu" "$rss" "$(echo "$rss / 1024" | bc -l)" "$played"
  echo "$cpu" >>"$e2e_scratch/cpu"
  echo "$rss" >>"$e2e_scratch/rss"
done
printf 'median of %d: %.1f%% of a core at rest on the title; peak resident %.1f MiB\n' "$runs" \
  "$(median <"$e2e_scratch/cpu")" "$(echo "$(median <"$e2e_scratch/rss") / 1024" | bc -l)"
