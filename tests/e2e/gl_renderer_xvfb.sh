#!/usr/bin/env bash
# The graphics card's path (render target, one nearest-pixel scaled copy, presents paced) on Mesa's
# software OpenGL under Xvfb, with SDL_RENDER_DRIVER=opengl: the picture tests of tests/sdl/gl/ on a
# 1920x1080 screen; then the real game full screen on 1366x768: the title picture in its place (1024x768
# at 171,0) on black bars, and in play, where every frame is new (the sparkles), the renderer's presents
# paced at 60 a second, counted by a preloaded counter. Where no OpenGL renderer opens it says so and
# skips (exit 77). Screenshots land in <build>/e2e-shots/gl-*.png.
# Usage: gl_renderer_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
picture_tests="$build/tests/vems_gl_tests"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=gl_renderer_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert cc sdl2-config
[ -x "$game" ] || e2e_fail "$game is not built"
[ -x "$picture_tests" ] || e2e_fail "$picture_tests is not built"
mkdir -p "$shots"
rm -f "$shots"/gl-*.png "$shots"/gl-*.log
export SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=opengl

# The picture tests, on a screen that holds their largest window.
e2e_screen=1920x1080
start_xvfb
status=0
(cd "$source/tests" && SDL_VIDEODRIVER=x11 exec "$picture_tests") >"$shots/gl-picture-tests.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || e2e_fail "the picture tests failed on OpenGL: $(tail -20 "$shots/gl-picture-tests.log")"
if grep -q '^\[  SKIPPED \]' "$shots/gl-picture-tests.log"; then
  echo "$e2e_name: skipped: $(grep -m1 -o 'no OpenGL renderer.*' "$shots/gl-picture-tests.log")"
  exit 77
fi
echo "$e2e_name: the picture tests passed on OpenGL"
kill "$e2e_xvfb"
wait "$e2e_xvfb" 2>/dev/null || true
e2e_xvfb=""

# The game, its renderer's presents counted.
e2e_screen=1366x768
start_xvfb
# shellcheck disable=SC2046 # the flags are meant to split
cc -O2 -shared -fPIC $(sdl2-config --cflags) -o "$e2e_scratch/present_counter.so" \
  "$source/tests/e2e/support/present_counter.c" -ldl
frames="$e2e_scratch/frames"
cat >"$e2e_scratch/counted_game" <<EOF
#!/bin/sh
VEMS_FRAMES_FILE='$frames' VEMS_RENDERER_PRESENTS_ONLY=1 LD_PRELOAD='$e2e_scratch/present_counter.so' exec '$game'
EOF
chmod +x "$e2e_scratch/counted_game"
start_game "$data" "$e2e_scratch/counted_game" "$shots/gl-game.log"
has_game_window || e2e_fail "the game does not cover the screen: $(vems_windows)"
place=1024x768+171+0
shot_until "$shots/gl-title.png" title_in_place "$place" "$data" ||
  e2e_fail "the title picture is not in $place on black bars"

# Play: the cursor starts mid-picture; Play is at 154..272, 316..350 in the picture's pixels, 1.6 screen
# pixels each.
xdotool mousemove_relative -- -192 144
sleep 0.4
click
level_shown() { ! title_in_place "$1" "$place" "$data"; }
shot_until "$shots/gl-play.png" level_shown || e2e_fail "Play did not start a level"

# The counter writes its count every 60 presents: two writes some seconds apart give the rate, by the
# file's own times. The game's main thread's time waiting for a core meanwhile says whether the machine
# let it keep pace.
written_at() { date -r "$frames" +%s%N 2>/dev/null || echo 0; }
rewritten() { [ "$(written_at)" != "$1" ]; }
waited() { awk '{ print $2 }' "/proc/$e2e_game_pid/schedstat"; }
wait_for 100 rewritten 0 || e2e_fail "the game presented nothing through OpenGL: $(cat "$shots/gl-game.log")"
first_at=$(written_at)
wait_for 100 rewritten "$first_at" || e2e_fail "the presents stopped"
first_at=$(written_at) first=$(cat "$frames") first_waited=$(waited)
sleep 3
last_at=$(written_at)
wait_for 100 rewritten "$last_at" || e2e_fail "the presents stopped"
last_at=$(written_at) last=$(cat "$frames") last_waited=$(waited)
span=$((last_at - first_at))
rate=$(((last - first) * 10000000000 / span))
starved=$(((last_waited - first_waited) * 100 / span))
echo "$e2e_name: $((last - first)) presents in $((span / 1000000)) ms: $((rate / 10)).$((rate % 10)) a second;" \
  "the game waited for a core $starved% of the time"
# Never faster than the game's 60; slower only where the machine, busy with other work, held it back.
[ "$rate" -le 620 ] || e2e_fail "presents came $((rate / 10)).$((rate % 10)) a second, faster than 60"
[ "$rate" -ge 550 ] || [ "$starved" -ge 5 ] || e2e_fail "presents came only $((rate / 10)).$((rate % 10)) a second"
shot "$shots/gl-play.png"
# The counter writes into the scratch folder until the game has ended.
kill "$e2e_game_pid"
wait "$e2e_game_pid" 2>/dev/null || true
e2e_game_pid=""
echo "$e2e_name: passed; screenshots in $shots"
