#!/usr/bin/env bash
# Plays the real game in its own X server as a person would: dismiss the help box, look at the title,
# point at Play and click it, leave the level with Escape, then Exit. Screenshots land in
# <build>/e2e-shots/title-*.png for people to look at; the checks compare them with the game's own bitmaps.
# Also sees that a start that cannot work ends with a failing status.
# Usage: title_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=title_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$game" ] || e2e_fail "$game is not built"
mkdir -p "$shots"
# The folder is shared with the other end-to-end scripts: only this one's files go.
rm -f "$shots"/title-*.png "$shots"/title-*.log
export SDL_AUDIODRIVER=dummy
start_xvfb

# No display at all: no window can be made, and the status says so.
status=0
(cd "$data" && env -u DISPLAY SDL_VIDEODRIVER=x11 timeout 10 "$game") >"$shots/title-no-display.log" 2>&1 ||
  status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || e2e_fail "without a display the game ended with status $status"
grep -q "window" "$shots/title-no-display.log" ||
  e2e_fail "without a display the game did not say why: $(cat "$shots/title-no-display.log")"

# A folder without the game's files: the window comes, the start-up fails, the status says so.
start_game "$e2e_scratch" "$game" "$shots/title-no-files.log"
await_game
[ "$e2e_status" -ne 0 ] || e2e_fail "a start-up without its files ended with status 0"

# The title picture sits at 77,77 (486x186); the Play button's two looks are stacked in its sheet. The
# cursor may cover up to 16 by 16 pixels of what it is on. Each takes a screenshot's path.
title_off() { differing "$1" 486x186+77+77 vems-title.bmp 486x186+0+0 "$data"; }
play_off() { differing "$1" 118x34+154+316 vems-btn-play.bmp "118x34+0+$2" "$data"; }
title_gone() { [ "$(title_off "$1")" -gt $((486 * 186 / 10)) ]; }
play_normal() { [ "$(play_off "$1" 0)" -le 256 ] && [ "$(play_off "$1" 0)" -lt "$(play_off "$1" 34)" ]; }
play_lit() { [ "$(play_off "$1" 34)" -le 256 ] && [ "$(play_off "$1" 34)" -lt "$(play_off "$1" 0)" ]; }

# No window manager runs here: the game gives the help box the keyboard, so Return answers it with the
# pointer elsewhere.
e2e_box_focus=game start_game "$data" "$game" "$shots/title-game.log"
has_game_window || e2e_fail "the game window did not appear after the help box"
shot_until "$shots/title-start.png" shows_title "$data" || e2e_fail "the title picture is not on the title screen"
play_normal "$shots/title-start.png" || e2e_fail "the Play button is not in its normal look at start"
# The cursor starts at 320,240 on no button; relative motion takes it onto Play (154..271, 316..349).
xdotool mousemove_relative -- -120 90
shot_until "$shots/title-play-lit.png" play_lit || e2e_fail "the Play button does not light up under the cursor"
click
shot_until "$shots/title-play.png" title_gone || e2e_fail "Play did not start a level"
press Escape
shot_until "$shots/title-again.png" shows_title "$data" || e2e_fail "Escape did not bring the title screen back"
# From 200,330 on Play to Exit (373..480, 390..423).
xdotool mousemove_relative -- 220 70
sleep 0.3
click
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "the game ended with status $e2e_status: $(cat "$shots/title-game.log")"

echo "title picture: off by $(title_off "$shots/title-start.png") px at start," \
  "$(title_off "$shots/title-again.png") after Escape, $(title_off "$shots/title-play.png") in play"
echo "Play button: $(play_off "$shots/title-start.png" 0) px off its normal look at start," \
  "$(play_off "$shots/title-play-lit.png" 34) off its lit look when pointed at"
echo "$e2e_name: passed; screenshots in $shots"
