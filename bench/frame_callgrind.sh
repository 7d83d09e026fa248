#!/usr/bin/env bash
# Instructions per play frame, counted by callgrind (repeatable on a busy machine): the game's frame and
# the bare SDL baseline, the ratio, draw calls per frame, and where the game's instructions go.
# Usage: bench/frame_callgrind.sh [BUILD_DIR (default build/release)] [FRAMES (default 200)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
frames=${2:-200}
out=$build/callgrind
mkdir -p "$out"
cmake --build "$build" --target frame_bench -j 2 >/dev/null

declare -A ir
for workload in game baseline; do
  # Only CountedFrames is collected: start-up and the warm-up walk are left out.
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*CountedFrames*' \
    --callgrind-out-file="$out/$workload.out" \
    "$build/bench/frame_bench" --frames="$frames" --workload="$workload" >"$out/$workload.log" 2>&1
  ir[$workload]=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/$workload.log")
  draws=$(sed -n 's/.*frames, \([0-9.]*\) draws per frame.*/\1/p' "$out/$workload.log")
  printf '%-8s %10d instructions per frame, %6s draw calls (SDL_RenderCopy) per frame\n' "$workload" \
    $((ir[$workload] / frames)) "$draws"
done
printf 'ratio    %.3f (game / baseline)\n' "$(echo "${ir[game]} / ${ir[baseline]}" | bc -l)"

# Inclusive cost per function, per frame, below the frame loop (SDL's own functions have no symbols
# here beyond its exported ones).
top() {
  callgrind_annotate --inclusive=yes "$1" 2>/dev/null | grep -E '^ *[0-9,]+ \(' |
    grep '\[' | grep -vE 'below main|libc_start|ld-linux|:main|CountedFrames' | sed 's/ \[[^]]*\]$//' |
    head -"$2" | awk -v n="$frames" '{c = $1; gsub(",", "", c); $1 = ""; printf "%10d %s\n", c / n, substr($0, 1, 130)}'
}
echo "-- game frame: inclusive instructions per frame by function"
top "$out/game.out" 20
echo "-- baseline frame: inclusive instructions per frame by function"
top "$out/baseline.out" 6
