#!/usr/bin/env bash
# The installed game: `cmake --install` into a scratch prefix, and again with DESTDIR as a package build
# does, gives exactly the expected tree (launcher, binary, every data file byte for byte, a valid desktop
# entry, the 64 by 64 icon); then the launcher, reached through a link on PATH as a desktop menu reaches
# it and started from an unrelated folder, runs the game up to level 1 in its own X server.
# Usage: install.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
e2e_name=install
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need cmake desktop-file-validate identify Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$build/vems" ] || e2e_fail "$build/vems is not built"
shots="$build/e2e-shots"
mkdir -p "$shots"

# What the data folder must hold: the game's levels, bitmaps and sounds, nothing of the icon folder.
data_files=$(cd "$source/data" && printf '%s\n' *.vem *.bmp *.wav | sort)
[ "$(echo "$data_files" | grep -c '\.bmp$')" -eq 18 ] || e2e_fail "data/ does not hold the 18 bitmaps"
expected_tree=$( (
  echo bin/vems
  echo libexec/vems/vems
  echo share/applications/vems.desktop
  echo share/icons/hicolor/64x64/apps/vems.png
  echo "$data_files" | sed 's|^|share/vems/|'
) | sort)

# Checks the installed tree under prefix $1.
check_tree() {
  local prefix=$1 name
  [ "$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)" = "$expected_tree" ] ||
    e2e_fail "the tree under $prefix differs: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
  for name in $data_files; do
    cmp -s "$source/data/$name" "$prefix/share/vems/$name" || e2e_fail "share/vems/$name differs from data/"
  done
  [ -x "$prefix/bin/vems" ] || e2e_fail "the launcher is not executable"
  head -n 1 "$prefix/bin/vems" | grep -q '^#!/bin/sh' || e2e_fail "the launcher is not a shell script"
  [ -x "$prefix/libexec/vems/vems" ] || e2e_fail "the game binary is not executable"
  cmp -s "$build/vems" "$prefix/libexec/vems/vems" || e2e_fail "the installed binary is not the built one"

  local entry="$prefix/share/applications/vems.desktop"
  desktop-file-validate "$entry" || e2e_fail "desktop-file-validate refuses the desktop entry"
  for line in 'Type=Application' 'Name=Vems' 'Exec=vems' 'Icon=vems' 'Terminal=false' \
    'Categories=Game;LogicGame;'; do
    grep -qxF "$line" "$entry" || e2e_fail "the desktop entry lacks \"$line\""
  done
  grep -q '^Comment=.' "$entry" || e2e_fail "the desktop entry has no comment"

  local icon="$prefix/share/icons/hicolor/64x64/apps/vems.png"
  [ "$(identify -format '%m %wx%h' "$icon")" = "PNG 64x64" ] || e2e_fail "the icon is not a 64 by 64 PNG"
  cmp -s "$source/data/icons/vems.png" "$icon" || e2e_fail "the icon differs from data/icons/vems.png"
}

prefix="$e2e_scratch/prefix"
cmake --install "$build" --prefix "$prefix" >"$e2e_scratch/install.log" ||
  e2e_fail "cmake --install failed: $(cat "$e2e_scratch/install.log")"
check_tree "$prefix"
DESTDIR="$e2e_scratch/package" cmake --install "$build" --prefix /usr >"$e2e_scratch/package.log" ||
  e2e_fail "cmake --install with DESTDIR failed: $(cat "$e2e_scratch/package.log")"
check_tree "$e2e_scratch/package/usr"
echo "install: both trees hold the launcher, the binary, $(echo "$data_files" | wc -l) data files, the entry and the icon"

# A menu runs "vems" from PATH; here PATH leads through a link to the launcher, and the game starts in a
# folder that holds none of its files.
mkdir -p "$e2e_scratch/path" "$e2e_scratch/elsewhere"
ln -s "$prefix/bin/vems" "$e2e_scratch/path/vems"
export PATH="$e2e_scratch/path:$PATH"
export SDL_AUDIODRIVER=dummy
start_xvfb
start_game "$e2e_scratch/elsewhere" vems "$shots/install.log"
installed="$prefix/share/vems"
shot_until "$shots/install-title.png" shows_title "$installed" || e2e_fail "the installed game shows no title screen"
# Play loads level 1 from the installed data folder.
click_play_into_level1 "$shots/install-level1.png" "$installed" || e2e_fail "the installed game did not start level 1"
press Escape
shot_until "$shots/install-title-again.png" shows_title "$installed" || e2e_fail "Escape did not bring the title back"
press Escape
await_game
[ "$e2e_status" -eq 0 ] || e2e_fail "the installed game ended with status $e2e_status: $(cat "$shots/install.log")"
echo "install: passed; the installed launcher started the game and level 1"
