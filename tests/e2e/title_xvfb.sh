#!/usr/bin/env bash
# Plays the real game in its own X server as a person would: dismiss the help box, look at the title,
# point at Play and click it, leave the level with Escape, then Exit. Screenshots land in
# <build>/e2e-shots/ for people to look at; the checks compare them with the game's own bitmaps.
# Also sees that a start that cannot work ends with a failing status.
# Usage: title_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
shots="$build/e2e-shots"
mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.log

fail() {
  echo "title_xvfb: $*" >&2
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

# Starts the game in folder $1 with its output in $2, and answers the help box with Return.
start_game() {
  (cd "$1" && exec "$game") >"$2" 2>&1 &
  game_pid=$!
  wait_for 100 has_help_box || fail "the help box did not appear"
  has_game_window && fail "the game window exists before the help box was dismissed"
  sleep 0.3 # let the box draw before it takes the key
  xdotool windowfocus --sync "$(help_box)"
  xdotool key Return
}

# Waits up to 10 s for the game to end by itself and puts its exit status in status.
await_game() {
  wait_for 100 game_ended || fail "the game did not end"
  status=0
  wait "$game_pid" || status=$?
  game_pid=""
}

# No display at all: no window can be made, and the status says so.
status=0
(cd "$source/data" && env -u DISPLAY SDL_VIDEODRIVER=x11 timeout 10 "$game") >"$shots/no-display.log" 2>&1 ||
  status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "without a display the game ended with status $status"
grep -q "window" "$shots/no-display.log" || fail "without a display the game did not say why: $(cat "$shots/no-display.log")"

# A folder without the game's files: the window comes, the start-up fails, the status says so.
start_game "$scratch" "$shots/no-files.log"
await_game
[ "$status" -ne 0 ] || fail "a start-up without its files ended with status 0"

# Holds a key the way a person does, long enough for a once-a-frame read to see it.
press() {
  xdotool keydown "$1"
  sleep 0.2
  xdotool keyup "$1"
}
click() {
  xdotool mousedown 1
  sleep 0.15
  xdotool mouseup 1
}
shot() { import -window root "$shots/$1.png"; }

start_game "$source/data" "$shots/game.log"
wait_for 100 has_game_window || fail "the game window did not appear after the help box"
sleep 1.0 # a few frames of the title screen
shot title-start
# The cursor starts at 320,240 on no button; relative motion takes it onto Play (154..271, 316..349).
xdotool mousemove_relative -- -120 90
sleep 0.5
shot title-play-lit
click
sleep 1.0
shot play
press Escape
sleep 0.8
shot title-again
# From 200,330 on Play to Exit (373..480, 390..423).
xdotool mousemove_relative -- 220 70
sleep 0.3
click
await_game
[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$shots/game.log")"

# Pixels of region WxH+X+Y of a screenshot that differ from cell WxH+X+Y of one of the game's sheets where
# the sheet is opaque: the cell, its colour-key pixels made see-through, is laid over the region itself,
# so only the sheet's own pixels can differ.
differing() {
  local screen=$1 region=$2 sheet=$3 cell=$4
  convert "$screen" -crop "$region" +repage "$scratch/seen.png"
  convert "$source/data/$sheet" -crop "$cell" +repage -transparent '#FF0080' "$scratch/cell.png"
  convert "$scratch/seen.png" "$scratch/cell.png" -composite "$scratch/expected.png"
  compare -metric AE -fuzz 3% "$scratch/seen.png" "$scratch/expected.png" null: 2>&1 | sed 's/ .*//' || true
}

# The title picture sits at 77,77 (486x186); the Play button's two looks are stacked in its sheet.
title_area=486x186+77+77
play_area=118x34+154+316
title_size=$((486 * 186))
title_off_start=$(differing "$shots/title-start.png" "$title_area" vems-title.bmp 486x186+0+0)
title_off_play=$(differing "$shots/play.png" "$title_area" vems-title.bmp 486x186+0+0)
title_off_again=$(differing "$shots/title-again.png" "$title_area" vems-title.bmp 486x186+0+0)
normal_vs_normal=$(differing "$shots/title-start.png" "$play_area" vems-btn-play.bmp 118x34+0+0)
normal_vs_lit=$(differing "$shots/title-start.png" "$play_area" vems-btn-play.bmp 118x34+0+34)
lit_vs_normal=$(differing "$shots/title-play-lit.png" "$play_area" vems-btn-play.bmp 118x34+0+0)
lit_vs_lit=$(differing "$shots/title-play-lit.png" "$play_area" vems-btn-play.bmp 118x34+0+34)
echo "title picture: off by $title_off_start px at start, $title_off_again after Escape, $title_off_play in play"
echo "Play button at start: $normal_vs_normal px off its normal look, $normal_vs_lit off its lit look"
echo "Play button pointed at: $lit_vs_lit px off its lit look, $lit_vs_normal off its normal look"

# The cursor may cover up to 16 by 16 pixels of what it is on.
[ "$title_off_start" -le 256 ] || fail "the title picture is not on the title screen"
[ "$title_off_again" -le 256 ] || fail "Escape did not bring the title screen back"
[ "$title_off_play" -gt $((title_size / 10)) ] || fail "the play screen still shows the title"
[ "$normal_vs_normal" -lt "$normal_vs_lit" ] || fail "the Play button is lit at start"
[ "$lit_vs_lit" -lt "$lit_vs_normal" ] || fail "the Play button does not light up under the cursor"
echo "title_xvfb: passed; screenshots in $shots"
