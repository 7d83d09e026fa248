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

# Our own X server on a display number nobody else is using: the lock file must name our server, since
# another test may pick the same number at the same moment.
xvfb=""
for _ in $(seq 20); do
  display=$((20 + RANDOM % 71))
  [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
  Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$xvfb" 2>/dev/null && [ "$(tr -d ' ' <"/tmp/.X$display-lock" 2>/dev/null)" = "$xvfb" ]; then break; fi
  kill "$xvfb" 2>/dev/null || true
  xvfb=""
done
[ -n "$xvfb" ] || fail "no X server could be started"
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
wait_for 50 xdpyinfo >/dev/null 2>&1 || fail "the X server does not answer"

# Top-level windows titled "Vems" as "ID WIDTHxHEIGHT"; the game window is the 640 by 480 one.
vems_windows() { xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Vems": ([^)]*) *\([0-9]*x[0-9]*\)+.*/\1 \2/p'; }
help_box() { vems_windows | awk '$2 != "640x480" {print $1; exit}'; }
game_window() { vems_windows | awk '$2 == "640x480" {print $1; exit}'; }
has_help_box() { [ -n "$(help_box)" ]; }
has_game_window() { [ -n "$(game_window)" ]; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }

# Starts the game in folder $1 with its output in $2, and answers the help box with Return. On a loaded
# machine SDL's own X11 dialog now and then fails to open, and the game then prints the text instead;
# that is SDL's doing, not the game's, so such a start is tried again (twice at most).
start_game() {
  local attempt
  for attempt in 1 2 3; do
    (cd "$1" && exec "$game") >"$2" 2>&1 &
    game_pid=$!
    if wait_for 100 has_help_box; then break; fi
    grep -q "Written by" "$2" || fail "the help box did not appear"
    [ "$attempt" -lt 3 ] || fail "SDL could not show the help box in three starts"
    echo "title_xvfb: SDL could not show the help box; starting again" >&2
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  done
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

# The title picture sits at 77,77 (486x186); the Play button's two looks are stacked in its sheet. The
# cursor may cover up to 16 by 16 pixels of what it is on.
title_off() { differing "$shots/$1.png" 486x186+77+77 vems-title.bmp 486x186+0+0; }
play_off() { differing "$shots/$1.png" 118x34+154+316 vems-btn-play.bmp "118x34+0+$2"; }
title_shown() { [ "$(title_off "$1")" -le 256 ]; }
title_gone() { [ "$(title_off "$1")" -gt $((486 * 186 / 10)) ]; }
play_normal() { [ "$(play_off "$1" 0)" -le 256 ] && [ "$(play_off "$1" 0)" -lt "$(play_off "$1" 34)" ]; }
play_lit() { [ "$(play_off "$1" 34)" -le 256 ] && [ "$(play_off "$1" 34)" -lt "$(play_off "$1" 0)" ]; }

# Takes screenshot $1 until the check after it holds for it (a loaded machine may be slow to draw);
# false when it still does not after 10 s.
shot_until() {
  local name=$1
  shift
  for _ in $(seq 40); do
    shot "$name"
    "$@" "$name" && return 0
    sleep 0.25
  done
  return 1
}

start_game "$source/data" "$shots/game.log"
wait_for 100 has_game_window || fail "the game window did not appear after the help box"
shot_until title-start title_shown || fail "the title picture is not on the title screen"
play_normal title-start || fail "the Play button is not in its normal look at start"
# The cursor starts at 320,240 on no button; relative motion takes it onto Play (154..271, 316..349).
xdotool mousemove_relative -- -120 90
shot_until title-play-lit play_lit || fail "the Play button does not light up under the cursor"
click
shot_until play title_gone || fail "Play did not start a level"
press Escape
shot_until title-again title_shown || fail "Escape did not bring the title screen back"
# From 200,330 on Play to Exit (373..480, 390..423).
xdotool mousemove_relative -- 220 70
sleep 0.3
click
await_game
[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$shots/game.log")"

echo "title picture: off by $(title_off title-start) px at start, $(title_off title-again) after Escape," \
  "$(title_off play) in play"
echo "Play button: $(play_off title-start 0) px off its normal look at start," \
  "$(play_off title-play-lit 34) off its lit look when pointed at"
echo "title_xvfb: passed; screenshots in $shots"
