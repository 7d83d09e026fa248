#!/usr/bin/env bash
# What a sound effect costs in memory: the real game under Xvfb brought up to its title twice, once with
# the shipped files and once with "step.wav" replaced by a valid 64 MiB wave (16-bit stereo at 22050 Hz,
# made by sox); the peak resident memory (VmHWM) of each is read on the title, after every file loaded.
# The difference against the wave's data size is what the effect costs beyond its samples.
# Usage: bench/effect_memory_xvfb.sh [BUILD_DIR (default build/release)]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/release}")
e2e_name=effect_memory_xvfb
# shellcheck source=tests/e2e/support/xvfb.sh
source tests/e2e/support/xvfb.sh
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert sox

cmake --build "$build" --target vems -j 2 >/dev/null
start_xvfb
export SDL_AUDIODRIVER=dummy # no sound card here; the silent device still mixes

# Peak resident KiB of the game started in folder $1, read on its title; then Escape ends it.
peak_on_title() {
  start_game "$1" "$build/vems" "$e2e_scratch/game.log"
  shot_until "$e2e_scratch/title.png" shows_title "$root/data" || e2e_fail "no title: $(cat "$e2e_scratch/game.log")"
  awk '$1 == "VmHWM:" { print $2 }' "/proc/$e2e_game_pid/status"
  press Escape
  await_game
  [ "$e2e_status" -eq 0 ] || e2e_fail "the game failed: $(cat "$e2e_scratch/game.log")"
}

shipped=$(peak_on_title "$root/data")
cp -r "$root/data" "$e2e_scratch/big"
sox -n -r 22050 -c 2 -b 16 "$e2e_scratch/big/step.wav" synth 761 sine 440 vol 0.5
data_kib=$((($(stat -c %s "$e2e_scratch/big/step.wav") - 44) / 1024))
big=$(peak_on_title "$e2e_scratch/big")
echo "peak on the title: $((shipped / 1024)) MiB shipped, $((big / 1024)) MiB with a step.wav of" \
  "$((data_kib / 1024)) MiB of samples: the effect costs $((big - shipped)) KiB for $data_kib KiB of data" \
  "($((big - shipped - data_kib)) KiB beyond it)"
