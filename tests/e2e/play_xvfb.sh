#!/usr/bin/env bash
# Plays a few seconds of level 1 in the real game in its own X server: walks the creature, possesses the
# rock next door and rolls it, then leaves through the title screen. Screenshots land in
# <build>/e2e-shots/play-*.png; the checks compare regions of them to see the creature and the view move.
# Usage: play_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
shots="$build/e2e-shots"
mkdir -p "$shots"
rm -f "$shots"/play-*.png "$shots"/play.log

fail() {
  echo "play_xvfb: $*" >&2
  exit 1
}
for tool in Xvfb xdotool xwininfo xdpyinfo import compare convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
done
[ -x "$game" ] || fail "$game is not built"

# A display number nobody else is using.
for _ in $(seq 50); do
  display=$((20 + RANDOM % 71))
  [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] || break
done
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
game_pid=""
scratch=$(mktemp -d)
cleanup() {
  if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export DISPLAY=":$display"
export SDL_AUDIODRIVER=dummy

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
wait_for 50 xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"

# Top-level windows titled "Vems" as "ID WIDTHxHEIGHT"; the game window is the 640 by 480 one.
vems_windows() { xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Vems": ([^)]*) *\([0-9]*x[0-9]*\)+.*/\1 \2/p'; }
help_box() { vems_windows | awk '$2 != "640x480" {print $1; exit}'; }
game_window() { vems_windows | awk '$2 == "640x480" {print $1; exit}'; }
has_help_box() { [ -n "$(help_box)" ]; }
has_game_window() { [ -n "$(game_window)" ]; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }

(cd "$source/data" && exec "$game") >"$shots/play.log" 2>&1 &
game_pid=$!
wait_for 100 has_help_box || fail "the help box did not appear"
sleep 0.3
xdotool windowfocus --sync "$(help_box)"
xdotool key Return
wait_for 100 has_game_window || fail "the game window did not appear after the help box"
sleep 1.0

# Keys and the button are held as a person holds them: long enough for a once-a-frame read.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
click() {
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}
shot() { import -window root "$shots/play-$1.png"; }
# Pixels of region WxH+X+Y that differ between two screenshots.
differing() {
  convert "$shots/play-$1.png" -crop "$3" +repage "$scratch/a.png"
  convert "$shots/play-$2.png" -crop "$3" +repage "$scratch/b.png"
  compare -metric AE -fuzz 3% "$scratch/a.png" "$scratch/b.png" null: 2>&1 | sed 's/ .*//' || true
}

# The cursor starts at 320,240; Play is at 154..271, 316..349. Level 1 shows its bottom left quarter:
# the creature stands at 96,416 on screen in its room, the rock at 384,416 in the corridor next door.
xdotool mousemove_relative -- -120 90
sleep 0.3
click
sleep 1.0
shot start
hold Right 1.0
sleep 0.3
shot walked
xdotool mousemove_relative -- 200 102  # onto the rock
sleep 0.3
click
sleep 0.5
shot possessed
hold Right 3.0
sleep 0.3
shot rolled

# Sparkles glitter on whatever is under control, a few pixels a frame; the checks ask for far more.
creature_left=$(differing start walked 32x32+96+416)
creature_gone=$(differing walked possessed 192x32+112+416)
rock_still=$(differing walked possessed 32x32+384+416)
view_moved=$(differing possessed rolled 640x480+0+0)
echo "creature's start cell: $creature_left px changed after walking right"
echo "room right of it: $creature_gone px changed when the creature went into the rock"
echo "the rock's cell: $rock_still px changed when it was possessed"
echo "whole screen: $view_moved px changed while the rock rolled and the view followed"
[ "$creature_left" -gt 150 ] || fail "the creature did not walk away from its start"
[ "$creature_gone" -gt 150 ] || fail "the creature did not vanish into the rock"
[ "$rock_still" -lt 200 ] || fail "the possessed rock did not stay where it was clicked"
[ "$view_moved" -gt 20000 ] || fail "the view did not follow the rolling rock"

# Escape back to the title, then Exit (373..480, 390..423) from the cursor at 400,432.
hold Escape 0.3
sleep 0.5
xdotool mousemove_relative -- 20 -32
sleep 0.3
click
wait_for 100 game_ended || fail "the game did not end from the title screen"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$shots/play.log")"
echo "play_xvfb: passed; screenshots in $shots"
