#!/usr/bin/env bash
# CPU the real game takes on a large screen under Xvfb without a window manager (full screen, the picture
# scaled to 1440x1080 on 1920x1080 by default), from the process's own CPU time in /proc: 20 s on the
# title at rest, then 20 s of play in level 1 (arrows held in turn, the creature walking and climbing),
# with the frames shown a second meanwhile (counted by tests/e2e/support/present_counter.c, preloaded).
# Target: at most 8% of a core in both at 1920x1080.
# Usage: bench/display_cpu_xvfb.sh [BUILD_DIR (default build/release)] [RUNS (default 3)] [SCREEN (default 1920x1080)]
#        [DEPTH (default 24)]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/release}")
runs=${2:-3}
e2e_screen=${3:-1920x1080}
e2e_depth=${4:-24}
e2e_name=display_cpu_xvfb
# shellcheck source=tests/e2e/support/xvfb.sh
source tests/e2e/support/xvfb.sh
# shellcheck source=bench/measure.sh
source bench/measure.sh
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert cc sdl2-config

cmake --build "$build" --target vems -j 2 >/dev/null
# shellcheck disable=SC2046 # the flags are meant to split
cc -O2 -shared -fPIC $(sdl2-config --cflags) -o "$e2e_scratch/present_counter.so" \
  tests/e2e/support/present_counter.c -ldl
frames_file=$e2e_scratch/frames
cat >"$e2e_scratch/run-game" <<EOF
#!/bin/sh
export VEMS_FRAMES_FILE='$frames_file' LD_PRELOAD='$e2e_scratch/present_counter.so'
exec '$build/vems'
EOF
chmod +x "$e2e_scratch/run-game"
start_xvfb
export SDL_AUDIODRIVER=dummy # no sound card here; the silent device still mixes

# The frames shown so far and when, as "FRAMES SECONDS", taken the moment the counter writes its next
# figure (every 60 frames), so the rate between two of them is exact to a poll.
frames_written() { cat "$frames_file" 2>/dev/null || echo 0; }
frames_now() {
  local before
  before=$(frames_written)
  for _ in $(seq 500); do
    [ "$(frames_written)" = "$before" ] || break
    sleep 0.01
  done
  echo "$(frames_written) $(date +%s.%N)"
}

# Percent of a core over $2 seconds of what the command after them does meanwhile, and on the next line
# the frames shown a second meanwhile.
cpu_over() {
  local seconds=$1 before after frames_before time_before frames_after time_after
  shift
  read -r frames_before time_before < <(frames_now)
  before=$(cpu_seconds "$e2e_game_pid")
  "$@"
  after=$(cpu_seconds "$e2e_game_pid")
  read -r frames_after time_after < <(frames_now)
  echo "($after - $before) * 100 / $seconds" | bc -l
  echo "($frames_after - $frames_before) / ($time_after - $time_before)" | bc -l
}
rest() { sleep 20; }
# 20 s of play: right, right and up, left, in turn.
walk() {
  for _ in 1 2 3 4; do
    hold Right 2
    hold "Right Up" 1
    hold Left 2
  done
}
# Where the game puts its picture on the screen, as WxH+X+Y: the largest 4:3 fit, or the whole scale
# within 10% of it (the game's own rule), centred.
sw=${e2e_screen%x*} sh=${e2e_screen#*x}
if [ $((sw * 480)) -gt $((sh * 640)) ]; then pw=$((sh * 640 / 480)) ph=$sh; else pw=$sw ph=$((sw * 480 / 640)); fi
whole=$((sw / 640 < sh / 480 ? sw / 640 : sh / 480))
if [ "$whole" -ge 1 ] && [ $((whole * 6400)) -ge $((pw * 9)) ]; then pw=$((whole * 640)) ph=$((whole * 480)); fi
place="${pw}x${ph}+$(((sw - pw) / 2))+$(((sh - ph) / 2))"
scale=$(echo "$pw / 640" | bc -l)
# The picture in screenshot $1 sampled back to 640x480 shows the title.
title_shown() {
  convert "$1" -crop "$place" +repage -sample '640x480!' "$e2e_scratch/picture.png"
  shows_title "$e2e_scratch/picture.png" "$root/data"
}

: >"$e2e_scratch/title" && : >"$e2e_scratch/play"
for run in $(seq "$runs"); do
  start_game "$root/data" "$e2e_scratch/run-game" "$e2e_scratch/game.log"
  has_game_window || e2e_fail "the game did not start full screen on $e2e_screen"
  shot_until "$e2e_scratch/title.png" title_shown || e2e_fail "the title is not in $place"
  sleep 2 # past the start-up
  { read -r title; read -r title_rate; } < <(cpu_over 20 rest)
  # Play: the cursor starts mid-picture; Play is at 154..272, 316..350 in the picture's pixels.
  xdotool mousemove_relative -- "$(printf %.0f "$(echo "-120 * $scale" | bc -l)")" \
    "$(printf %.0f "$(echo "90 * $scale" | bc -l)")"
  sleep 0.4
  click
  sleep 1
  shot "$e2e_scratch/play.png"
  title_shown "$e2e_scratch/play.png" && e2e_fail "Play did not start a level"
  { read -r play; read -r play_rate; } < <(cpu_over 20 walk)
  kill "$e2e_game_pid" && wait "$e2e_game_pid" 2>/dev/null || true
  e2e_game_pid=""
  printf 'run %d at %sx%s: %.1f%% of a core on the title at rest, %.1f%% in play; %.1f and %.1f frames a second\n' \
    "$run" "$e2e_screen" "$e2e_depth" "$title" "$play" "$title_rate" "$play_rate"
  echo "$title" >>"$e2e_scratch/title"
  echo "$play" >>"$e2e_scratch/play"
  echo "$title_rate" >>"$e2e_scratch/title_rate"
  echo "$play_rate" >>"$e2e_scratch/play_rate"
done
printf 'median of %d at %sx%s: %.1f%% of a core on the title at rest, %.1f%% in play; %.1f and %.1f frames a second\n' \
  "$runs" "$e2e_screen" "$e2e_depth" "$(median <"$e2e_scratch/title")" "$(median <"$e2e_scratch/play")" \
  "$(median <"$e2e_scratch/title_rate")" "$(median <"$e2e_scratch/play_rate")"
