#!/usr/bin/env bash
# The game on X screens of other colour depths, full screen at 1366x768: at depth 16 (remote desktops) and
# 30 the title picture shows in its place, scaled by the nearest pixel, on black bars; at depth 8, where
# nothing can show it, the game stops and says which screens can. Each run tells which way drew the
# picture (OpenGL or our copy), without asserting it. Screenshots land in
# <build>/e2e-shots/depth-*.png.
# Usage: depths_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=depths_xvfb
e2e_screen=1366x768
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$game" ] || e2e_fail "$game is not built"
mkdir -p "$shots"
rm -f "$shots"/depth-*.png "$shots"/depth-*.log
export SDL_AUDIODRIVER=dummy

# Stops the game and the X server of one run, by process id.
end_run() {
  if [ -n "$e2e_game_pid" ]; then kill "$e2e_game_pid" 2>/dev/null || true; wait "$e2e_game_pid" 2>/dev/null || true; fi
  if [ -n "$e2e_xvfb" ]; then kill "$e2e_xvfb" 2>/dev/null || true; wait "$e2e_xvfb" 2>/dev/null || true; fi
  e2e_game_pid="" e2e_xvfb=""
}
trap 'end_run; e2e_cleanup' EXIT

# Which way the game drew, told and not asserted: a Mesa driver in its memory means OpenGL, none our copy.
drawn_by() {
  local driver
  driver=$(grep -o '[a-z0-9_]*_dri\.so' "/proc/$e2e_game_pid/maps" 2>/dev/null | head -1 || true)
  if [ -n "$driver" ]; then echo "OpenGL ($driver)"; else echo "our copy into the window's framebuffer"; fi
}

for e2e_depth in 16 30; do
  start_xvfb
  start_game "$data" "$game" "$shots/depth-$e2e_depth.log"
  has_game_window || e2e_fail "depth $e2e_depth: the game does not cover the screen: $(cat "$shots/depth-$e2e_depth.log")"
  shot_until "$shots/depth-$e2e_depth.png" title_in_place 1024x768+171+0 "$data" ||
    e2e_fail "depth $e2e_depth: the title picture is not in 1024x768+171+0 on black bars"
  echo "$e2e_name: depth $e2e_depth shows the title in place, drawn by $(drawn_by)"
  end_run
done

e2e_depth=8
start_xvfb
start_game "$data" "$game" "$shots/depth-8.log"
await_game
said=$(cat "$shots/depth-8.log")
[ "$e2e_status" -ne 0 ] || e2e_fail "depth 8: the game ended with 0 though it could show nothing: $said"
grep -q "cannot start the graphics" <<<"$said" || e2e_fail "depth 8: no word of the graphics: $said"
grep -q "depth 24 or 16" <<<"$said" || e2e_fail "depth 8: the advice names no screen that works: $said"
grep -q "SDL_RENDER_DRIVER" <<<"$said" && e2e_fail "depth 8: the advice names a renderer, and none works here: $said"
echo "$e2e_name: depth 8 stops with advice that names screens that work"
end_run
echo "$e2e_name: passed; screenshots in $shots"
