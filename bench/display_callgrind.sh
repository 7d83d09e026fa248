#!/usr/bin/env bash
# What showing the picture on a large screen costs, in instructions per frame counted by callgrind, side by
# side in one run on SDL's software renderer (dummy video driver): the title at rest and a play frame
# (level 2, the creature walking) in a 640 by 480 window and on a 1920 by 1080 screen, and one plain
# nearest stretch of a 640 by 480 picture by SDL to where the game shows it there (1440 by 1080).
# Target: each frame at 1920x1080 costs at most the same frame at 640x480 plus 1.1 stretches.
# Usage: bench/display_callgrind.sh [BUILD_DIR (default build/release)] [FRAMES (default 100)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
frames=${2:-100}
out=$build/callgrind
mkdir -p "$out"
cmake --build "$build" --target frame_bench -j 2 >/dev/null

# Instructions per frame of workload $1 on a screen of $2.
per_frame() {
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*CountedFrames*' \
    --callgrind-out-file="$out/display-$1-$2.out" \
    "$build/bench/frame_bench" --frames="$frames" --workload="$1" --screen="$2" >"$out/display-$1-$2.log" 2>&1
  echo $(($(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/display-$1-$2.log") / frames))
}

stretch=$(per_frame stretch 1920x1080)
printf '%-22s %12d instructions per frame\n' "plain stretch (SDL)" "$stretch"
for workload in title game; do
  small=$(per_frame "$workload" 640x480)
  large=$(per_frame "$workload" 1920x1080)
  verdict=met
  [ "$((large * 10))" -le "$((small * 10 + stretch * 11))" ] || verdict="NOT met"
  printf '%-22s %12d at 640x480, %d at 1920x1080: +%d, %.3f stretches (at most 1.1: %s)\n' "$workload" \
    "$small" "$large" "$((large - small))" "$(echo "($large - $small) / $stretch" | bc -l)" "$verdict"
done
