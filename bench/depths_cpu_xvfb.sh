#!/usr/bin/env bash
# CPU and frame rate of the real game full screen on X screens of depth 24 and 16 side by side (their runs
# taken in turn, so both meet the same load on the machine): 1920x1080 at both depths and 3840x2160 at
# depth 16, each a run of bench/display_cpu_xvfb.sh (20 s on the title at rest, 20 s of play); then one
# run at depth 30, where the picture goes through OpenGL on a software rasteriser.
# Targets: at 1920x1080 depth 16 costs at most 1.5 times depth 24's CPU, on the title and in play; 60
# frames a second at 3840x2160 at depth 16.
# Usage: bench/depths_cpu_xvfb.sh [BUILD_DIR (default build/release)] [RUNS (default 3)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
runs=${2:-3}
# shellcheck source=bench/measure.sh
source bench/measure.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One run of screen $1 at depth $2; its figures ("TITLE% PLAY% TITLE_FPS PLAY_FPS") noted under $1x$2.
measure() {
  local line
  line=$(bench/display_cpu_xvfb.sh "$build" 1 "$1" "$2" | tail -1)
  echo "${line#median of 1 at }"
  sed -E 's/.*: ([0-9.]+)% .* rest, ([0-9.]+)% in play; ([0-9.]+) and ([0-9.]+) frames.*/\1 \2 \3 \4/' <<<"$line" \
    >>"$scratch/$1x$2"
}
# The median of column $2 of the figures noted under $1.
column() { cut -d' ' -f"$2" "$scratch/$1" | median; }

configs=("1920x1080 24" "1920x1080 16" "3840x2160 16")
for run in $(seq "$runs"); do
  for config in "${configs[@]}"; do
    # shellcheck disable=SC2086 # screen and depth
    measure $config
  done
done
for config in "${configs[@]}"; do
  name=${config/ /x}
  printf 'median of %d at %s: %s%% of a core on the title at rest, %s%% in play; %s and %s frames a second\n' \
    "$runs" "$name" "$(column "$name" 1)" "$(column "$name" 2)" "$(column "$name" 3)" "$(column "$name" 4)"
done
printf 'at 1920x1080 depth 16 takes %.2f times the CPU of depth 24 on the title at rest, %.2f times in play\n' \
  "$(echo "$(column 1920x1080x16 1) / $(column 1920x1080x24 1)" | bc -l)" \
  "$(echo "$(column 1920x1080x16 2) / $(column 1920x1080x24 2)" | bc -l)"
measure 1920x1080 30
