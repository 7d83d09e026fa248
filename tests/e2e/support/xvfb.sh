# Shared by the end-to-end scripts that drive the real game: an X server of their own, the game started
# in a folder with its help box answered, held keys and clicks as a person gives them, screenshots, and
# pixel comparisons against the game's own bitmaps. Source it after setting e2e_name; needs bash.
# shellcheck shell=bash disable=SC2154 # e2e_name comes from the script that sources this

# Ends the script with a message naming it.
e2e_fail() {
  echo "$e2e_name: $*" >&2
  exit 1
}

# Fails unless every tool named is on the path.
e2e_need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/setup installs it)"
  done
}

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

e2e_screen=${e2e_screen:-640x480}
e2e_depth=${e2e_depth:-24}
e2e_xvfb=""
e2e_game_pid=""
e2e_scratch=$(mktemp -d)
# Stops what the script started, by process id, and removes its scratch folder.
e2e_cleanup() {
  if [ -n "$e2e_game_pid" ]; then kill "$e2e_game_pid" 2>/dev/null || true; fi
  if [ -n "$e2e_xvfb" ]; then kill "$e2e_xvfb" 2>/dev/null || true; fi
  rm -rf "$e2e_scratch"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a display number nobody else is using, its screen e2e_screen (640x480 unless set
# before: the game's picture unscaled) of depth e2e_depth (24 unless set), and exports DISPLAY. The lock
# file must name our own server: another test may pick the same number at the same moment. -noreset: by
# default the server resets when its last client leaves (our xdpyinfo probe, or a game that just quit),
# and a game connecting during that reset finds no display.
start_xvfb() {
  local display
  for _ in $(seq 20); do
    display=$((20 + RANDOM % 71))
    if [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; then continue; fi
    Xvfb ":$display" -screen 0 "${e2e_screen}x${e2e_depth}" -nolisten tcp -noreset >"$e2e_scratch/xvfb.log" 2>&1 &
    e2e_xvfb=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && break
      kill -0 "$e2e_xvfb" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$e2e_xvfb" 2>/dev/null && [ "$(tr -d ' ' <"/tmp/.X$display-lock" 2>/dev/null)" = "$e2e_xvfb" ] &&
      wait_for 50 env DISPLAY=":$display" xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=":$display"
      return 0
    fi
    kill "$e2e_xvfb" 2>/dev/null || true
    e2e_xvfb=""
  done
  e2e_fail "no X server could be started: $(cat "$e2e_scratch/xvfb.log")"
}

# Windows titled "Vems" as "ID WIDTHxHEIGHT"; the game window is the one covering the screen (it starts
# full screen), the help box any other.
vems_windows() { xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Vems": ([^)]*) *\([0-9]*x[0-9]*\)+.*/\1 \2/p'; }
help_box() { vems_windows | awk -v screen="$e2e_screen" '$2 != screen {print $1; exit}'; }
game_window() { vems_windows | awk -v screen="$e2e_screen" '$2 == screen {print $1; exit}'; }
has_help_box() { [ -n "$(help_box)" ]; }
has_game_window() { [ -n "$(game_window)" ]; }
game_ended() { ! kill -0 "$e2e_game_pid" 2>/dev/null; }
game_window_or_end() { has_game_window || game_ended; }

# Starts program $2 in folder $1 with its output in $3, answers the help box with Return and waits for
# the game window, or for the game's end when its start-up fails. On a loaded machine SDL's own X11
# dialog now and then fails to open and the game prints the help text instead; that is SDL's doing, so
# such a start is tried again (three at most). The limits are for a machine busy with other work: a
# start that passes takes a second or two. With e2e_box_focus=game the Return is pressed with the
# pointer off the box and the box not focused by the script: the game must give it the keyboard.
start_game() {
  local folder=$1 program=$2 log=$3 attempt
  for attempt in 1 2 3; do
    (cd "$folder" && exec "$program") >"$log" 2>&1 &
    e2e_game_pid=$!
    if wait_for 300 has_help_box; then break; fi
    grep -q "Written by" "$log" || e2e_fail "the help box did not appear: $(cat "$log")"
    [ "$attempt" -lt 3 ] || e2e_fail "SDL could not show the help box in three starts"
    echo "$e2e_name: SDL could not show the help box; starting again" >&2
    kill "$e2e_game_pid" 2>/dev/null || true
    wait "$e2e_game_pid" 2>/dev/null || true
  done
  has_game_window && e2e_fail "the game window exists before the help box was dismissed"
  # A Return that reaches the box before it is ready is lost; the box then stays, and gets another.
  for attempt in 1 2 3; do
    sleep 0.3 # let the box draw before it takes the key
    if has_help_box; then
      if [ "${e2e_box_focus:-}" = game ]; then
        xdotool mousemove 0 0
      else
        xdotool windowfocus --sync "$(help_box)" 2>/dev/null || true
      fi
      xdotool key Return
    fi
    wait_for 100 game_window_or_end && return 0
  done
  has_help_box && e2e_fail "the help box would not take Return: $(cat "$log")"
  e2e_fail "the game window did not appear after the help box: $(cat "$log")"
}

# Waits up to 30 s for the game to end by itself and puts its exit status in e2e_status.
# shellcheck disable=SC2034 # read by the scripts
await_game() {
  wait_for 300 game_ended || e2e_fail "the game did not end"
  e2e_status=0
  wait "$e2e_game_pid" || e2e_status=$?
  e2e_game_pid=""
}

# Holds a key (or several, as xdotool names them) for $2 seconds, long enough for a once-a-frame read.
hold() {
  local keys=$1 seconds=$2
  # shellcheck disable=SC2086 # the keys are meant to split
  xdotool keydown $keys
  sleep "$seconds"
  # shellcheck disable=SC2086
  xdotool keyup $keys
}
press() { hold "$1" 0.2; }
click() {
  xdotool mousedown 1
  sleep 0.15
  xdotool mouseup 1
}
# Screenshot of the whole screen to $1.
shot() { import -window root "$1"; }
# Takes screenshot $1 again until the command after it succeeds on it (a loaded machine may be slow to
# draw); false when it still does not after 30 s, however slow each try. The command gets the screenshot
# as its first argument.
shot_until() {
  local screen=$1 command=$2 deadline=$((SECONDS + 30))
  shift 2
  while :; do
    shot "$screen"
    "$command" "$screen" "$@" && return 0
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.25
  done
}

# Pixels of region WxH+X+Y of a screenshot that differ from cell WxH+X+Y of one of the game's bitmaps
# (in folder $5) where the bitmap is opaque: the cell, its colour-key pixels made see-through, is laid
# over the region itself, so only the bitmap's own pixels can differ.
differing() {
  local screen=$1 region=$2 sheet=$3 cell=$4 data=$5
  convert "$screen" -crop "$region" +repage "$e2e_scratch/seen.png"
  convert "$data/$sheet" -crop "$cell" +repage -transparent '#FF0080' "$e2e_scratch/cell.png"
  convert "$e2e_scratch/seen.png" "$e2e_scratch/cell.png" -composite "$e2e_scratch/expected.png"
  compare -metric AE -fuzz 3% "$e2e_scratch/seen.png" "$e2e_scratch/expected.png" null: 2>&1 | sed 's/ .*//' || true
}

# True when the title picture (486 by 186 at 77,77) shows in screenshot $1; the cursor may cover up
# to 16 by 16 of its pixels.
shows_title() {
  [ "$(differing "$1" 486x186+77+77 vems-title.bmp 486x186+0+0 "$2")" -le 256 ]
}

# Screenshot $1 shows the title picture in the picture's place WxH+X+Y ($2) from the game's bitmaps in
# folder $3: the place, sampled back to 640x480 pixel by pixel, holds the title bitmap at 77,77; the bars
# beside it are black.
title_in_place() {
  local screen=$1 place=$2 data=$3 size x
  size=${place%%+*}
  x=${place#*+}
  x=${x%%+*}
  convert "$screen" -crop "$place" +repage -sample '640x480!' "$e2e_scratch/picture.png"
  shows_title "$e2e_scratch/picture.png" "$data" || return 1
  [ "$x" -eq 0 ] || [ "$(convert "$screen" -crop "${x}x${size#*x}+0+0" +repage -format '%[max]' info:)" = 0 ]
}

# Where the camera starts in level file $1: centred on the creature's "G" (the last one wins), kept
# within 0..640 and 0..480. Prints "X Y".
start_camera() {
  awk '{ for (c = 1; c <= length($0); c++) if (substr($0, c, 1) == "G") { x = 32 * (c - 1); y = 32 * (NR - 1) } }
       END { x -= 320; y -= 240
             if (x < 0) x = 0; if (x > 640) x = 640; if (y < 0) y = 0; if (y > 480) y = 480
             print x, y }' "$1"
}

# Clicks Play with the cursor where the game starts it (320,240, moved onto 200,330), then takes
# screenshot $1 until level 1 of folder $2 shows with the camera where the level starts it.
click_play_into_level1() {
  local screen=$1 data=$2 camera_x camera_y
  xdotool mousemove_relative -- -120 90
  sleep 0.4
  click
  read -r camera_x camera_y < <(start_camera "$data/level1.vem")
  shot_until "$screen" camera_among "$data/level1.vem" "$data" "$camera_x" "$camera_y" >/dev/null
}

# Pixels that differ between screenshot $1 and the wall tiles of level file $2 as a camera at ($3, $4)
# puts them on screen, each tile picked from the walls sheet in folder $5 by its wall neighbours (the
# world's border counts as wall). Only tiles wholly on screen count. Prints "PIXELS TILES".
walls_off() {
  local screen=$1 level=$2 camx=$3 camy=$4 data=$5
  local -a rows draw=()
  local c r m x y tiles=0
  mapfile -t rows <"$level"
  wall() { [ "${rows[$2]:$1:1}" = "*" ]; }
  for ((r = 0; r < 30; r++)); do
    for ((c = 0; c < 40; c++)); do
      wall "$c" "$r" || continue
      x=$((32 * c - camx))
      y=$((32 * r - camy))
      ((x >= 0 && y >= 0 && x + 32 <= 640 && y + 32 <= 480)) || continue
      m=0
      if ((c == 39)) || wall $((c + 1)) "$r"; then m=$((m + 1)); fi
      if ((r == 0)) || wall "$c" $((r - 1)); then m=$((m + 2)); fi
      if ((c == 0)) || wall $((c - 1)) "$r"; then m=$((m + 4)); fi
      if ((r == 29)) || wall "$c" $((r + 1)); then m=$((m + 8)); fi
      draw+=("(" mpr:walls -crop "32x32+$((32 * m))+0" +repage ")" -geometry "+$x+$y" -composite)
      tiles=$((tiles + 1))
    done
  done
  convert "$data/vems-walls.bmp" -transparent '#FF0080' -write mpr:walls +delete \
    "$screen" "${draw[@]}" "$e2e_scratch/walls.png"
  echo "$(compare -metric AE -fuzz 3% "$screen" "$e2e_scratch/walls.png" null: 2>&1 | sed 's/ .*//' || true) $tiles"
}

# Prints the first camera "X Y" among the candidates after $3 ("X Y X Y ...") at which the walls of level
# file $2 (tiles from folder $3) are where screenshot $1 shows them. Up to 5% of the tiles' pixels may be
# covered by the cursor, sparkles or objects over walls (a ladder reaching into one); a camera off by two
# pixels already misses a quarter of them. Fails when none fits.
camera_among() {
  local screen=$1 level=$2 data=$3 off
  shift 3
  while [ $# -ge 2 ]; do
    off=$(walls_off "$screen" "$level" "$1" "$2" "$data")
    if [ "${off#* }" -gt 0 ] && [ $((${off% *} * 20)) -le $((${off#* } * 1024)) ]; then
      echo "$1 $2"
      return 0
    fi
    shift 2
  done
  return 1
}
