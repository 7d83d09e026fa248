#!/usr/bin/env bash
# Input as a player gives it, in a real X server driven by xdotool. First the input probe: held keys, mouse
# buttons and pointer motion reach the input records, and so do a tap and a click let go at once. Then the
# game under a window manager: an absolute pointer move lights Play, a zero-length click starts level 1, a
# tap of R after the creature turned into a rock (5) and rolled puts level 1 back as loaded, and in a
# window the pointer reaches the title bar and the close box ends the game. Arguments: build directory,
# source directory.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
probe=$build/tests/input_probe
game=$build/vems
data=$source/data
shots=$build/e2e-shots
e2e_name=input_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xdpyinfo xwininfo xprop openbox import compare convert
[ -x "$probe" ] || e2e_fail "$probe was not built"
[ -x "$game" ] || e2e_fail "$game is not built"
mkdir -p "$shots"
rm -f "$shots"/input-*.png "$shots"/input.log
export SDL_AUDIODRIVER=dummy
start_xvfb

# ---- The probe ----
"$probe" >"$e2e_scratch/out" 2>"$e2e_scratch/err" &
e2e_game_pid=$!
wait_for 100 grep -q '^ready' "$e2e_scratch/out" || e2e_fail "the probe did not start: $(cat "$e2e_scratch/err")"
window=$(xdotool search --name 'Vems input probe' | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.3

hold Up 0.3
hold 5 0.3
xdotool mousemove_relative -- 30 20
sleep 0.2
xdotool mousemove_relative -- -7 5
sleep 0.2
xdotool mousedown 1
sleep 0.3
xdotool mouseup 1
sleep 0.3
# Let go within a millisecond: between two polls of the probe.
xdotool key Left
xdotool click 1
sleep 0.3

fail=0
expect() {
  grep -q "^$1\$" "$e2e_scratch/out" || { echo "$e2e_name: expected \"$1\"" >&2; fail=1; }
}
expect 'key 0xC8 down'
expect 'key 0xC8 up'
expect 'key 0x06 down'
expect 'key 0x06 up'
expect 'key 0xCB down'
expect 'key 0xCB up'
clicks=$(grep -c '^button 0 down$' "$e2e_scratch/out" || true)
[ "$clicks" -eq 2 ] || { echo "$e2e_name: $clicks clicks seen, expected the held one and the quick one" >&2; fail=1; }
motion=$(awk '$1 == "motion" { x += $2; y += $3 } END { printf "%d %d", x, y }' "$e2e_scratch/out")
[ "$motion" = "23 25" ] || { echo "$e2e_name: mouse moved \"$motion\", expected \"23 25\"" >&2; fail=1; }
if [ "$fail" -ne 0 ]; then
  echo "--- probe output" >&2
  cat "$e2e_scratch/out" "$e2e_scratch/err" >&2
  exit 1
fi
kill "$e2e_game_pid"
wait "$e2e_game_pid" 2>/dev/null || true
e2e_game_pid=""
echo "$e2e_name: the probe saw held keys and buttons, motion, and a tap and a click let go at once"

# ---- The game, under a window manager so that it can have a window with a title bar ----
openbox >/dev/null 2>&1 &
wait_for 50 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || e2e_fail "openbox did not start"

play_off() { differing "$1" 118x34+154+316 vems-btn-play.bmp "118x34+0+$2" "$data"; }
play_lit() { [ "$(play_off "$1" 34)" -le 256 ] && [ "$(play_off "$1" 34)" -lt "$(play_off "$1" 0)" ]; }
region_off() {
  convert "$shots/input-$1.png" -crop "$3" +repage "$e2e_scratch/a.png"
  convert "$shots/input-$2.png" -crop "$3" +repage "$e2e_scratch/b.png"
  compare -metric AE -fuzz 3% "$e2e_scratch/a.png" "$e2e_scratch/b.png" null: 2>&1 | sed 's/ .*//' || true
}
read -r camera_x camera_y < <(start_camera "$data/level1.vem")
in_level1() { camera_among "$1" "$data/level1.vem" "$data" "$camera_x" "$camera_y" >/dev/null; }
rolled() { [ "$(region_off level1 rolling 32x32+64+416)" -gt 150 ]; }
# The creature's cell as at the start (its sparkles aside), the view back.
as_loaded() { in_level1 "$1" && [ "$(region_off level1 restarted 32x32+64+416)" -le 60 ]; }

start_game "$data" "$game" "$shots/input.log"
shot_until "$shots/input-title.png" shows_title "$data" || e2e_fail "the title screen did not appear"
# The pointer is put under the cursor as the game starts; an absolute move then takes the cursor along.
xdotool mousemove 200 330
shot_until "$shots/input-play-lit.png" play_lit || e2e_fail "an absolute pointer move onto Play did not light it"
xdotool click 1
shot_until "$shots/input-level1.png" in_level1 || e2e_fail "a zero-length click on Play did not start level 1"

xdotool key 5 # the creature, turned into a rock where it stands
xdotool keydown Right
shot_until "$shots/input-rolling.png" rolled || e2e_fail "the rock did not roll away"
sleep 1
xdotool keyup Right
xdotool mousemove 200 330 # where the cursor was at the start of the level
sleep 0.3
xdotool key r
shot_until "$shots/input-restarted.png" as_loaded || e2e_fail "R did not put level 1 back as it was loaded"

# A window: the pointer goes past its edge onto the title bar, and the close box there ends the game. The
# window is smaller than the screen with its frame, so it is found by the id it had in full screen.
game_id=$(game_window)
[ -n "$game_id" ] || e2e_fail "the game window is gone"
xdotool key alt+Return
window_at() {
  xwininfo -id "$game_id" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                                  /Width:/ { w = $2 } END { print x, y, w }'
}
windowed() { read -r win_x win_y win_width < <(window_at) && [ "$win_y" -gt 0 ]; }
wait_for 50 windowed || e2e_fail "Alt+Enter did not put the game in a window"
sleep 0.3
read -r win_x win_y win_width < <(window_at)
xdotool mousemove $((win_x + 100)) $((win_y / 2))
sleep 0.3
pointer_y=$(xdotool getmouselocation | sed 's/.*y:\([0-9]*\).*/\1/')
[ "$pointer_y" -eq $((win_y / 2)) ] || e2e_fail "in a window the pointer is held at y $pointer_y inside it"
xdotool mousemove $((win_x + win_width - 11)) $((win_y - 11))
sleep 0.3
click
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "the game ended with status $e2e_status: $(cat "$shots/input.log")"

echo "Play: $(play_off "$shots/input-play-lit.png" 34) px off its lit look under an absolute move"
echo "after R: the creature's cell $(region_off level1 restarted 32x32+64+416) px off the start"
echo "$e2e_name: passed; screenshots in $shots"
