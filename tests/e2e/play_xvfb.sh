#!/usr/bin/env bash
# Plays a few seconds of level 1 in the real game in its own X server: walks the creature, climbs its room
# until the view has risen to the rock in the room above, possesses the rock and rolls it along that room's
# floor, then leaves through the title screen. Screenshots land in <build>/e2e-shots/play-*.png; the checks compare
# regions of them, or the walls with where the view should stand, to see the creature and the view move.
# Usage: play_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=play_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$game" ] || e2e_fail "$game is not built"
mkdir -p "$shots"
rm -f "$shots"/play-*.png "$shots"/play.log
export SDL_AUDIODRIVER=dummy

# Pixels of region WxH+X+Y that differ between screenshots play-$1 and play-$2.
changed() {
  convert "$shots/play-$1.png" -crop "$3" +repage "$e2e_scratch/a.png"
  convert "$shots/play-$2.png" -crop "$3" +repage "$e2e_scratch/b.png"
  compare -metric AE -fuzz 3% "$e2e_scratch/a.png" "$e2e_scratch/b.png" null: 2>&1 | sed 's/ .*//' || true
}

start_xvfb
start_game "$data" "$game" "$shots/play.log"
shot_until "$shots/play-title.png" shows_title "$data" || e2e_fail "the title screen did not appear"

# Level 1 shows its bottom left quarter: the creature stands at 64,416 on screen in its tall room; the
# cursor is left at 200,330.
click_play_into_level1 "$shots/play-start.png" "$data" || e2e_fail "Play did not start level 1"

# Sparkles glitter on whatever is under control, a few pixels a frame; the checks ask for far more. Keys
# stay held until the screen shows their effect: a loaded machine runs fewer frames in a second.
walked() { [ "$(changed start walked 32x32+64+416)" -gt 150 ]; }
view_at() { camera_among "$1" "$data/level1.vem" "$data" "$2" "$3" >/dev/null; }
rolled() { [ "$(changed possessed rolled 64x64+128+120)" -gt 150 ]; }
xdotool keydown Right
sleep 1
shot_until "$shots/play-walked.png" walked || e2e_fail "the creature did not walk away from its start"
xdotool keyup Right
# Up the room's west wall to its ceiling: the view follows it up by 124 pixels.
xdotool keydown Up Left
shot_until "$shots/play-climbed.png" view_at 0 356 || e2e_fail "the view did not follow the climbing creature"
xdotool keyup Up Left
# The rock on the floor of the room above, at 128,28 on screen: taken, the view rises to it.
xdotool mousemove 144 44
sleep 0.3
xdotool click 1
shot_until "$shots/play-possessed.png" view_at 0 264 || e2e_fail "the view did not go to the possessed rock"
xdotool keydown Right
sleep 1
shot_until "$shots/play-rolled.png" rolled || e2e_fail "the rock did not roll"
xdotool keyup Right
echo "creature's start cell: $(changed start walked 32x32+64+416) px changed after walking right"
echo "the rock's place: $(changed possessed rolled 64x64+128+120) px changed while the rock rolled away"

# Escape back to the title, then Exit (373..480, 390..423).
hold Escape 0.3
shot_until "$shots/play-title-again.png" shows_title "$data" || e2e_fail "Escape did not bring the title back"
xdotool mousemove 420 400
sleep 0.3
click
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "the game ended with status $e2e_status: $(cat "$shots/play.log")"
echo "$e2e_name: passed; screenshots in $shots"
