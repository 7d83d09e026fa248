#!/usr/bin/env bash
# The game on Wayland without a graphics card's render node, as in a virtual machine: a weston nested in
# Xvfb, the game on SDL's Wayland driver, full screen on weston's 1366x768 output. The title picture shows
# in its place (1024x768 at 171,0, nearest pixel) on black bars, and Escape ends the game with status 0.
# The screenshot lands in <build>/e2e-shots/wayland.png.
# Usage: wayland_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=wayland_xvfb
e2e_screen=1366x768
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xdpyinfo import compare convert weston
[ -x "$game" ] || e2e_fail "$game is not built"
mkdir -p "$shots"
rm -f "$shots"/wayland*.png "$shots"/wayland*.log
export SDL_AUDIODRIVER=dummy

weston_pid=""
trap '[ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true; e2e_cleanup' EXIT
start_xvfb
export XDG_RUNTIME_DIR=$e2e_scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=vems-e2e
# weston's own --fullscreen waits for a window manager Xvfb does not have; an output of the screen's size
# covers it all the same.
weston --backend=x11-backend.so --socket="$socket" --width=1366 --height=768 >"$shots/wayland-weston.log" 2>&1 &
weston_pid=$!
weston_up() { [ -S "$XDG_RUNTIME_DIR/$socket" ] || ! kill -0 "$weston_pid" 2>/dev/null; }
wait_for 300 weston_up && [ -S "$XDG_RUNTIME_DIR/$socket" ] ||
  e2e_fail "weston did not start: $(tail -5 "$shots/wayland-weston.log")"

# Without DISPLAY the game cannot show its help box and prints the help text instead.
(cd "$data" && WAYLAND_DISPLAY=$socket SDL_VIDEODRIVER=wayland exec env -u DISPLAY "$game") \
  >"$shots/wayland.log" 2>&1 &
e2e_game_pid=$!
title_or_end() { title_in_place "$@" || game_ended; }
shot_until "$shots/wayland.png" title_or_end 1024x768+171+0 "$data" && ! game_ended ||
  e2e_fail "the title picture is not in 1024x768+171+0 on black bars: $(cat "$shots/wayland.log")"
echo "$e2e_name: the title shows in place"
# Keys reach the X window under the pointer, weston's, which hands them to the game.
xdotool mousemove 683 384
sleep 0.3
press Escape
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "Escape ended the game with $e2e_status: $(cat "$shots/wayland.log")"
echo "$e2e_name: passed; Escape ended the game with 0; screenshot in $shots"
