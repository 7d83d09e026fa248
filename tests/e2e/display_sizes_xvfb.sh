#!/usr/bin/env bash
# The game on screens larger and smaller than its picture, with and without a window manager (openbox):
# full screen covers the screen and shows the title picture where and as large as the picture's place on
# that screen says (1366x768: 1024x768 at 171,0; 1920x1080: 1440x1080 at 240,0), on black bars; Alt+Enter
# makes a window that lies wholly on the screen, frame included, centred, and Alt+Enter again brings full
# screen back. Screenshots land in <build>/e2e-shots/display-*.png.
# Usage: display_sizes_xvfb.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
data="$source/data"
shots="$build/e2e-shots"
e2e_name=display_sizes_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xwininfo xdpyinfo xprop import compare convert openbox
[ -x "$game" ] || e2e_fail "$game is not built"
mkdir -p "$shots"
rm -f "$shots"/display-*.png "$shots"/display-*.log
export SDL_AUDIODRIVER=dummy

wm_pid=""
# Stops the game, the window manager and the X server of one run, by process id.
end_run() {
  if [ -n "$e2e_game_pid" ]; then kill "$e2e_game_pid" 2>/dev/null || true; wait "$e2e_game_pid" 2>/dev/null || true; fi
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
  if [ -n "$e2e_xvfb" ]; then kill "$e2e_xvfb" 2>/dev/null || true; wait "$e2e_xvfb" 2>/dev/null || true; fi
  e2e_game_pid="" wm_pid="" e2e_xvfb=""
}
trap 'end_run; e2e_cleanup' EXIT

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wm_running_or_gone() { wm_running || ! kill -0 "$wm_pid" 2>/dev/null; }

# The game window's outer rectangle, frame included, as "X Y WIDTH HEIGHT".
outer_geometry() {
  local id=$1 x y w h left=0 right=0 top=0 bottom=0 extents
  read -r x y w h < <(xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                               /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ',')
  [ -z "$extents" ] || read -r left right top bottom <<<"$extents"
  echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# The window made by Alt+Enter lies on the screen, frame included, centred within 2 pixels.
window_on_screen() {
  local id=$1 sw=${e2e_screen%x*} sh=${e2e_screen#*x} x y w h
  read -r x y w h < <(outer_geometry "$id")
  [ "$w" -lt "$sw" ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$sw" ] && [ $((y + h)) -le "$sh" ] &&
    [ $((2 * x + w - sw)) -ge -4 ] && [ $((2 * x + w - sw)) -le 4 ] &&
    [ $((2 * y + h - sh)) -ge -4 ] && [ $((2 * y + h - sh)) -le 4 ]
}
game_has_focus() { local id; id=$(game_window); [ -n "$id" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((id))" ]; }
windowed() { local id; id=$(vems_windows | awk '{print $1; exit}'); [ -n "$id" ] && window_on_screen "$id"; }

# One run: screen $1, window manager $2 (openbox or none), the picture's place $3 ("" to skip the title
# check); Alt+Enter there and back.
run() {
  local screen=$1 wm=$2 place=$3 name="display-$1-$2" attempt
  e2e_screen=$screen
  start_xvfb
  if [ "$wm" = openbox ]; then
    # On a loaded machine a client now and then fails to connect to a server just started; try again.
    for attempt in 1 2 3; do
      openbox --sm-disable >"$shots/$name-openbox.log" 2>&1 &
      wm_pid=$!
      wait_for 300 wm_running_or_gone && wm_running && break
      [ "$attempt" -lt 3 ] || e2e_fail "openbox did not start on $screen: $(cat "$shots/$name-openbox.log")"
    done
  fi
  start_game "$data" "$game" "$shots/$name.log"
  has_game_window || e2e_fail "$name: the game does not cover the screen: $(vems_windows)"
  if [ -n "$place" ]; then
    shot_until "$shots/$name.png" title_in_place "$place" "$data" ||
      e2e_fail "$name: the title picture is not in $place on black bars"
  fi
  # Keys go to the window in front: under a window manager that may come a moment after the window.
  [ "$wm" = none ] || wait_for 300 game_has_focus || e2e_fail "$name: the game window never got the focus"
  xdotool key alt+Return
  wait_for 300 windowed || e2e_fail "$name: Alt+Enter made no window wholly on the screen, centred: $(vems_windows)"
  shot "$shots/$name-window.png"
  xdotool key alt+Return
  wait_for 300 has_game_window || e2e_fail "$name: Alt+Enter again did not cover the screen: $(vems_windows)"
  if [ -n "$place" ]; then
    shot_until "$shots/$name-again.png" title_in_place "$place" "$data" ||
      e2e_fail "$name: back in full screen the title picture is not in $place"
  fi
  echo "$name: full screen and window as they should be"
  end_run
}

run 1366x768 none 1024x768+171+0
run 1366x768 openbox 1024x768+171+0
run 1920x1080 none 1440x1080+240+0
run 1920x1080 openbox 1440x1080+240+0
run 640x480 openbox "" # the window and its title bar must still fit
echo "$e2e_name: passed; screenshots in $shots"
