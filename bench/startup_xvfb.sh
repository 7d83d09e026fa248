#!/usr/bin/env bash
# Start-up time of the real game under Xvfb: from the moment this script starts the process to its first
# presented title frame, with the help box answered at once by xdotool in a tight loop. A probe
# preloaded into the game notes when the box was shown and dismissed and when the first frame was
# presented, so the figure is also given without the time the box stood on screen. Only starts that come
# to a first frame count; one that does not is tried again.
# Without a window manager unless WM names one (openbox).
# Usage: bench/startup_xvfb.sh [BUILD_DIR (default build/release)] [RUNS (default 9)] [WM (default none)]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/release}")
runs=${2:-9}
wm=${3:-none}
e2e_name=startup_xvfb
# shellcheck source=tests/e2e/support/xvfb.sh
source tests/e2e/support/xvfb.sh
# shellcheck source=bench/measure.sh
source bench/measure.sh
e2e_need Xvfb xdotool xwininfo xdpyinfo cc sdl2-config

cmake --build "$build" --target vems -j 2 >/dev/null
# shellcheck disable=SC2046 # the flags are meant to split
cc -O2 -shared -fPIC $(sdl2-config --cflags) -o "$e2e_scratch/present_probe.so" bench/present_probe.c -ldl
start_xvfb
wm_pid=""
if [ "$wm" != none ]; then
  e2e_need "$wm" xprop
  "$wm" >"$e2e_scratch/wm.log" 2>&1 &
  wm_pid=$!
  trap 'kill "$wm_pid" 2>/dev/null || true; e2e_cleanup' EXIT
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for 300 wm_running || e2e_fail "$wm did not start: $(cat "$e2e_scratch/wm.log")"
fi
export SDL_AUDIODRIVER=dummy  # no sound card here; the silent device still mixes

: >"$e2e_scratch/total" && : >"$e2e_scratch/without_box" && : >"$e2e_scratch/after_box"

# One timed start into the probe's file $1, its figures left in total, before, after and shown. False,
# with the reason, when it did not come to a first frame as a player's would: SDL could not show the box
# (its text went to standard error instead), the game ended, or 30 s passed. The box may be shown more
# than once (SDL tries again a dialog that failed to open): the time before the box runs to its first
# showing, the time after it from its last dismissal.
# How many lines of the probe's file $2 name $1; 0 before the probe wrote the file.
probe_count() {
  local n
  n=$(grep -c "$1" "$2" 2>/dev/null)
  echo "${n:-0}"
}

time_one_start() {
  local probe=$1 launched deadline=$((SECONDS + 30)) box shown_at dismissed_at presented_at
  launched=$(($(date +%s%N) / 1000))
  (cd "$root/data" && VEMS_PROBE_FILE=$probe LD_PRELOAD=$e2e_scratch/present_probe.so exec "$build/vems") \
    >"$e2e_scratch/game.log" 2>&1 &
  e2e_game_pid=$!
  # Return to the box as soon as it exists, again until it is gone (it may take a key only once drawn).
  # Once the probe saw it dismissed (and no other shown) the loop only watches the probe's file: reading
  # the window tree in a tight loop would take the cores and the X server from the start it measures,
  # and would take the game's own window, not yet full screen, for the box.
  until grep -q first_present "$probe" 2>/dev/null; do
    if [ "$(probe_count box_shown "$probe")" -gt "$(probe_count box_dismissed "$probe")" ] ||
      ! grep -q box_shown "$probe" 2>/dev/null; then
      box=$(help_box 2>/dev/null || true) # the box may vanish while its tree is read
      if [ -n "$box" ]; then xdotool windowfocus "$box" key Return 2>/dev/null || true; fi
    else
      sleep 0.002
    fi
    game_ended && break
    [ "$SECONDS" -lt "$deadline" ] || break
  done
  kill "$e2e_game_pid" 2>/dev/null || true
  wait "$e2e_game_pid" 2>/dev/null || true
  e2e_game_pid=""
  if ! grep -q first_present "$probe" 2>/dev/null; then
    echo "no first frame in 30 s, or the game ended: $(cat "$e2e_scratch/game.log")"
    return 1
  fi
  if grep -q "Written by" "$e2e_scratch/game.log"; then
    echo "SDL could not show the help box"
    return 1
  fi
  shown_at=$(awk '$1 == "box_shown" { print $2; exit }' "$probe")
  dismissed_at=$(awk '$1 == "box_dismissed" { t = $2 } END { print t }' "$probe")
  presented_at=$(awk '$1 == "first_present" { print $2; exit }' "$probe")
  total=$((presented_at - launched))
  before=$((shown_at - launched))
  after=$((presented_at - dismissed_at))
  shown=$(grep -c box_shown "$probe")
}

# Only starts that finished count; one that did not is tried again, up to as many more as were asked for.
finished=0
for attempt in $(seq $((2 * runs))); do
  [ "$finished" -lt "$runs" ] || break
  if ! time_one_start "$e2e_scratch/probe.$attempt"; then
    echo "start $attempt not counted"
    continue
  fi
  finished=$((finished + 1))
  echo "run $finished: ${total} us to the first frame; ${before} us to the box, box up $((total - before - after)) us" \
    "(shown $shown times), ${after} us from its dismissal to the first frame"
  echo "$total" >>"$e2e_scratch/total"
  echo $((before + after)) >>"$e2e_scratch/without_box"
  echo "$after" >>"$e2e_scratch/after_box"
done
[ "$finished" -gt 0 ] || e2e_fail "no start came to its first frame"
echo "median of $finished (window manager: $wm): $(median <"$e2e_scratch/total") us to the first frame," \
  "$(median <"$e2e_scratch/without_box") us of it not counting the box on screen," \
  "$(median <"$e2e_scratch/after_box") us from the box's dismissal"
