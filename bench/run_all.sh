#!/usr/bin/env bash
# Every figure of the README's "Measured figures": the release build with the benchmarks, then the timed
# benchmarks (medians of 5 repetitions), the callgrind counts of the frame and of a large screen, and the
# runs of the real game under Xvfb, each as the game starts by default and with SDL's software renderer
# forced (see README).
# Usage: bench/run_all.sh [BUILD_DIR (default build/release)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scripts/setup
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 >/dev/null

medians=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
echo "== logic of the play frame (fakes)"
"$build/bench/logic_bench" "${medians[@]}" 2>/dev/null | grep -E '_median'
echo "== play frame on SDL's software renderer, dummy video driver"
"$build/bench/frame_bench" "${medians[@]}" 2>/dev/null | grep -E '_median'
echo "== instructions per frame (callgrind)"
bench/frame_callgrind.sh "$build"
echo "== showing the picture on a 1920x1080 screen (callgrind)"
bench/display_callgrind.sh "$build"
echo "== CPU at 1920x1080 under Xvfb"
bench/display_cpu_xvfb.sh "$build" 3 | tail -1
echo "== CPU and frame rate at depths 24, 16 and 30 under Xvfb"
bench/depths_cpu_xvfb.sh "$build" 3 | tail -5
for config in default software; do
  if [ "$config" = software ]; then
    export SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0
  fi
  echo "== start-up under Xvfb ($config renderer choice)"
  bench/startup_xvfb.sh "$build" 9 | tail -1
  echo "== memory and CPU under Xvfb ($config renderer choice)"
  bench/memory_cpu_xvfb.sh "$build" 3 | tail -1
done
echo "== memory of a 64 MiB sound effect under Xvfb"
bench/effect_memory_xvfb.sh "$build" | tail -1
