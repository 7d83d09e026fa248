#!/usr/bin/env bash
# A player with only a pad, in the real game in its own X server: the pad answers the help box, steers the
# cursor onto Play with the right stick and clicks it with A, asks for the controls with the right
# shoulder and closes them with B, goes back to the title with Back and quits with Back. No key or mouse
# event is sent, except F1 and Return, which open and close the same controls box from the keyboard. The
# pad is SDL's virtual one, preloaded from <build>/tests/libvirtual_pad.so and pressed through a FIFO.
# Screenshots land in <build>/e2e-shots/pad-*.png.
# Usage: pad_only_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
pad="$build/tests/libvirtual_pad.so"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=pad_only_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$game" ] || e2e_fail "$game is not built"
[ -f "$pad" ] || e2e_fail "$pad is not built"
mkdir -p "$shots"
rm -f "$shots"/pad-*.png "$shots"/pad.log
export SDL_AUDIODRIVER=dummy
log="$shots/pad.log"

# SDL controller numbering: buttons A 0, B 1, Back 4, Start 6, right shoulder 10; axes right x 2, right y 3.
mkfifo "$e2e_scratch/pad"
exec 3<>"$e2e_scratch/pad" # read and write: opening does not wait for the game, nor does writing
hold_button() { echo "button $1 1" >&3; }
let_go() { echo "button $1 0" >&3; }
# A press as a person gives it, long enough for a once-a-frame read.
tap() {
  hold_button "$1"
  sleep 0.3
  let_go "$1"
}

start_xvfb
(cd "$data" && exec env VEMS_PAD_FIFO="$e2e_scratch/pad" LD_PRELOAD="$pad" "$game") >"$log" 2>&1 &
e2e_game_pid=$!
wait_for 300 has_help_box || e2e_fail "the help box did not appear: $(cat "$log")"

# The pad answers the box, and the title comes. A press before the box is ready to take it is lost; the
# box then stays, and gets another.
for attempt in 1 2 3; do
  sleep 0.3 # let the box draw before it takes the press
  tap 0
  wait_for 100 game_window_or_end && break
  [ "$attempt" -lt 3 ] || e2e_fail "A on the pad did not answer the help box: $(cat "$log")"
done
has_game_window || e2e_fail "the game window did not appear after the help box: $(cat "$log")"
shot_until "$shots/pad-title.png" shows_title "$data" || e2e_fail "the title did not appear after the help box"

# The right stick, a little tilted, creeps the cursor toward the middle of Play (154..271, 316..349); the
# game keeps the pointer under its cursor, so the pointer's place says where the cursor is.
creep=16000
steer_onto_play() {
  local X Y SCREEN WINDOW dx dy deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do
    eval "$(xdotool getmouselocation --shell)"
    dx=0
    dy=0
    if ((X < 190)); then dx=$creep; elif ((X > 235)); then dx=-$creep; fi
    if ((Y < 326)); then dy=$creep; elif ((Y > 339)); then dy=-$creep; fi
    echo "axis 2 $dx" >&3
    echo "axis 3 $dy" >&3
    ((dx == 0 && dy == 0)) && return 0
    sleep 0.02
  done
  return 1
}
play_lit() { [ "$(differing "$1" 118x34+154+316 vems-btn-play.bmp 118x34+0+34 "$data")" -le 256 ]; }
steer_onto_play || e2e_fail "the right stick did not bring the cursor onto Play"
shot_until "$shots/pad-play-lit.png" play_lit || e2e_fail "the Play button does not light up under the cursor"

# A clicks Play and level 1 starts with the camera where the level puts it; held until it shows.
read -r camera_x camera_y < <(start_camera "$data/level1.vem")
in_level1() { camera_among "$1" "$data/level1.vem" "$data" "$camera_x" "$camera_y" >/dev/null; }
hold_button 0
shot_until "$shots/pad-level1.png" in_level1 || e2e_fail "A on Play did not start level 1"
let_go 0

# The controls box, from the keyboard and from the pad; either way the level is there as it was after it.
no_box() { ! has_help_box; }
has_help_box && e2e_fail "a box stands in the level before any was asked for"
xdotool key F1
wait_for 100 has_help_box || e2e_fail "F1 did not show the controls"
shot "$shots/pad-controls.png"
xdotool windowfocus --sync "$(help_box)" 2>/dev/null || true
xdotool key Return
wait_for 100 no_box || e2e_fail "Return did not close the controls box"
shot_until "$shots/pad-after-f1.png" in_level1 || e2e_fail "level 1 is not as it was after the controls box"

tap 10
wait_for 100 has_help_box || e2e_fail "the pad's right shoulder did not show the controls"
tap 1
wait_for 100 no_box || e2e_fail "B on the pad did not close the controls box"
shot_until "$shots/pad-after-shoulder.png" in_level1 || e2e_fail "level 1 is not as it was after the pad's box"

# Back is Escape: to the title, and from there out of the game.
tap 4
shot_until "$shots/pad-title-again.png" shows_title "$data" || e2e_fail "Back did not bring the title back"
tap 4
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "the game ended with status $e2e_status: $(cat "$log")"
echo "$e2e_name: passed; screenshots in $shots"
