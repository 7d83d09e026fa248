#!/usr/bin/env bash
# A player's own files through the installed launcher. It refuses a --data folder that is missing or
# holds none of the game's files, and bad options. With a stand-in for the game: each file comes from
# --data over $XDG_DATA_HOME/vems over the shipped data, whatever the folder names hold, in one line on
# standard error; the game's status, the terminal's Ctrl+C and a kill of the launcher reach the game and
# come back, and the folder of links is gone each time; with nothing replaced the launcher
# becomes the game in the shipped folder. The real game with --data holding only a level 1 of ours shows
# the shipped title, and Play shows our level; the folder of links is gone when it quits.
# Usage: own_data.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
e2e_name=own_data
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
# shellcheck source=support/installed.sh
. "$source/tests/e2e/support/installed.sh"
e2e_need cmake setsid Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$build/vems" ] || e2e_fail "$build/vems is not built"
shots="$build/e2e-shots"
mkdir -p "$shots"

# The launcher names folders without links, as the scratch folder's path may have one.
scratch=$(cd "$e2e_scratch" && pwd -P)
prefix="$scratch/prefix"
install_into "$prefix"
shipped="$prefix/share/vems"
export TMPDIR="$scratch/tmp" XDG_DATA_HOME="$scratch/xdg"
mkdir -p "$TMPDIR" "$XDG_DATA_HOME/vems"
links_left() { [ -n "$(ls -A "$TMPDIR")" ]; }

# Refusals, before any game starts: status and words on standard error.
mkdir -p "$scratch/empty"
touch "$scratch/empty/notes.txt"
refused() {
  local want=$1 words=$2 status=0
  shift 2
  "$prefix/bin/vems" "$@" >/dev/null 2>"$scratch/err" || status=$?
  [ "$status" -eq "$want" ] && grep -qF -- "$words" "$scratch/err" ||
    e2e_fail "vems $* ended with $status, not $want with \"$words\": $(cat "$scratch/err")"
}
refused 1 "there is no folder \"$scratch/missing\"" --data "$scratch/missing"
refused 1 "the folder \"$scratch/empty\" (given with --data) holds none of the game's files" \
  --data "$scratch/empty"
# The launcher's list of the game's files is the shipped data, name for name.
[ "$(sed 's/.*files: //' "$scratch/err" | tr ' ' '\n' | sort)" = "$data_files" ] ||
  e2e_fail "the launcher's list of the game's files is not data/'s: $(cat "$scratch/err")"
refused 2 "Usage: vems [--data FOLDER]" --levels "$scratch/empty"
links_left && e2e_fail "a refusal left a folder in $TMPDIR"
echo "own_data: a missing folder, one without the game's files and bad options are refused"

# The stand-in notes its process, folder and files, then waits for a signal as the game would, or ends at
# once with STANDIN_EXIT.
standin="$scratch/standin"
cp -a "$prefix" "$standin"
cat >"$standin/libexec/vems/vems" <<'EOF'
#!/bin/sh
{ echo "$$ $PWD"; for f in *; do echo "$f $(readlink "$f")"; done; } >"$STANDIN_NOTES.part"
mv "$STANDIN_NOTES.part" "$STANDIN_NOTES"
[ -z "${STANDIN_EXIT:-}" ] || exit "$STANDIN_EXIT"
exec sleep 600
EOF
export STANDIN_NOTES="$scratch/notes"
# A failed check leaves no stand-in behind: its process group goes with the scratch folder.
trap 'if [ -n "$launcher" ]; then kill -- "-$launcher" 2>/dev/null || true; fi; e2e_cleanup' EXIT
# Starts the stand-in's launcher with the arguments given, in a process group of its own as a terminal
# runs it, INT and QUIT as a terminal leaves them; waits for the stand-in's notes.
launcher=""
start_standin() {
  rm -f "$STANDIN_NOTES"
  env --default-signal=INT,QUIT setsid "$standin/bin/vems" "$@" >/dev/null 2>"$scratch/err" &
  launcher=$!
  wait_for 300 test -e "$STANDIN_NOTES" || e2e_fail "the stand-in did not start: $(cat "$scratch/err")"
  read -r game _ <"$STANDIN_NOTES"
}
# Waits for the launcher, which must end with status $1, its game gone with it and no links left.
launcher_ended() { ! kill -0 "$launcher" 2>/dev/null; }
standin_ended() {
  local status=0
  wait_for 300 launcher_ended || e2e_fail "the launcher did not end"
  wait "$launcher" || status=$?
  [ "$status" -eq "$1" ] || e2e_fail "the launcher ended with $status, not $1 ($2)"
  kill -0 "$game" 2>/dev/null && e2e_fail "the game outlived its launcher ($2)"
  links_left && e2e_fail "the folder of links outlived the game ($2)"
  true
}

own="$scratch/Own 'levels' & *more*"
mkdir -p "$own"
echo own >"$own/level1.vem"
echo own >"$own/step.wav"
for name in level1.vem vems-blue.bmp notes.txt; do echo xdg >"$XDG_DATA_HOME/vems/$name"; done
STANDIN_EXIT=3 start_standin --data "$own"
standin_ended 3 "the game's own status"
expected=$(
  echo "$data_files" | while read -r name; do
    case $name in
      level1.vem | step.wav) echo "$name $own/$name" ;;
      vems-blue.bmp) echo "$name $XDG_DATA_HOME/vems/$name" ;;
      *) echo "$name $standin/share/vems/$name" ;;
    esac
  done | sort
)
[ "$(tail -n +2 "$STANDIN_NOTES" | sort)" = "$expected" ] ||
  e2e_fail "the game's folder is not --data over XDG over shipped: $(cat "$STANDIN_NOTES")"
said="vems: level1.vem step.wav from $own; vems-blue.bmp from $XDG_DATA_HOME/vems; the rest from"
[ "$(cat "$scratch/err")" = "$said $standin/share/vems" ] ||
  e2e_fail "the launcher did not say which files came from where: $(cat "$scratch/err")"

start_standin --data "$own"
kill -INT -- "-$launcher"
standin_ended 130 "Ctrl+C in the terminal"
start_standin --data "$own"
kill -TERM "$launcher"
standin_ended 143 "a kill of the launcher"

# Installed with the prefix ~/.local, the XDG folder is the shipped one: nothing is replaced, and the
# launcher is the game itself, in the shipped folder.
rm -r "$XDG_DATA_HOME/vems"
XDG_DATA_HOME="$standin/share" start_standin
[ "$game $standin/share/vems" = "$(head -n 1 "$STANDIN_NOTES")" ] && [ ! -s "$scratch/err" ] ||
  e2e_fail "with nothing replaced the launcher did not become the game in the shipped folder:" \
    "$(head -n 1 "$STANDIN_NOTES") $(cat "$scratch/err")"
kill -TERM "$launcher"
standin_ended 143 "the game started in place of the launcher"
echo "own_data: --data over XDG over shipped, said in one line; status, Ctrl+C and kill passed on"

# The real game, with --data holding only our own level 1.
mine="$scratch/my levels"
mkdir -p "$mine"
cp "$source/tests/levels/own_level1.vem" "$mine/level1.vem"
# What the game should see: the shipped data with our level 1.
seen="$scratch/seen"
mkdir -p "$seen"
cp "$shipped"/* "$seen"
cp "$mine/level1.vem" "$seen"
cat >"$scratch/vems-mine" <<EOF
#!/bin/sh
exec "$prefix/bin/vems" --data "$mine"
EOF
chmod +x "$scratch/vems-mine"

export SDL_AUDIODRIVER=dummy
start_xvfb
start_game "$scratch/empty" "$scratch/vems-mine" "$shots/own_data.log"
shot_until "$shots/own_data-title.png" shows_title "$shipped" || e2e_fail "no title screen with our level 1"
links_left || e2e_fail "the game runs without a folder of links in $TMPDIR"
click_play_into_level1 "$shots/own_data-level1.png" "$seen" || e2e_fail "Play did not show our level 1"
press Escape
shot_until "$shots/own_data-title-again.png" shows_title "$shipped" ||
  e2e_fail "Escape did not bring the title back"
press Escape
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "the game ended with status $e2e_status: $(cat "$shots/own_data.log")"
grep -qxF "vems: level1.vem from $mine; the rest from $shipped" "$shots/own_data.log" ||
  e2e_fail "the launcher did not say where level1.vem came from: $(cat "$shots/own_data.log")"
links_left && e2e_fail "the folder of links outlived the game: $(ls "$TMPDIR")"
echo "own_data: passed; Play showed our level 1 among the shipped files, and no links were left"
