# Shared by the runs of the installed game: the install, what an installed game holds below its prefix,
# the checks of that tree, and a run of the installed game through its launcher. Source it after
# support/xvfb.sh with $build and $source set to the build and source folders; needs bash.
# shellcheck shell=bash disable=SC2154 # build and source come from the script that sources this

# The data files the game loads: levels, bitmaps and sounds, nothing of the icon folder.
data_files=$(cd "$source/data" && printf '%s\n' *.vem *.bmp *.wav | sort)
[ "$(echo "$data_files" | grep -c '\.bmp$')" -eq 18 ] || e2e_fail "data/ does not hold the 18 bitmaps"
icon_sizes="64 128 256"

# cmake --install of the build into prefix $1.
install_into() {
  cmake --install "$build" --prefix "$1" >"$e2e_scratch/install.log" ||
    e2e_fail "cmake --install failed: $(cat "$e2e_scratch/install.log")"
}

# Every file below the prefix, sorted, with the launcher in folder $1 (bin, or games for Debian): the
# launcher, the level checker, the game, its data, the desktop entry, the icons, the AppStream metadata,
# the two manual pages and the two documents Debian asks for.
expected_tree() {
  (
    echo "$1/vems"
    echo "$1/vems-levelcheck"
    echo libexec/vems/vems
    echo share/applications/vems.desktop
    for size in $icon_sizes; do echo "share/icons/hicolor/${size}x${size}/apps/vems.png"; done
    echo share/metainfo/example.vems.Vems.metainfo.xml
    echo share/man/man6/vems.6.gz
    echo share/man/man6/vems-levelcheck.6.gz
    echo share/doc/vems/changelog.gz
    echo share/doc/vems/copyright
    echo "$data_files" | sed 's|^|share/vems/|'
  ) | sort
}

# Checks the installed tree under prefix $1, launcher in folder $2: exactly the expected files, the data
# byte for byte, a launcher and a game that run, and entry, icons, metadata and manual page as their
# checkers want them.
check_installed_tree() {
  local prefix=$1 launcher=$2 name size line
  [ "$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)" = "$(expected_tree "$launcher")" ] ||
    e2e_fail "the tree under $prefix differs: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
  for name in $data_files; do
    cmp -s "$source/data/$name" "$prefix/share/vems/$name" || e2e_fail "share/vems/$name differs from data/"
  done
  [ -x "$prefix/$launcher/vems" ] || e2e_fail "the launcher is not executable"
  head -n 1 "$prefix/$launcher/vems" | grep -q '^#!/bin/sh' || e2e_fail "the launcher is not a shell script"
  [ -x "$prefix/libexec/vems/vems" ] || e2e_fail "the game binary is not executable"
  # The level checker runs from anywhere and finds the installed levels fine.
  (cd / && "$prefix/$launcher/vems-levelcheck" --depth 0 "$prefix/share/vems/level1.vem" \
    "$prefix/share/vems/level2.vem") >"$e2e_scratch/levelcheck.log" 2>&1 ||
    e2e_fail "the installed level checker refuses the installed levels: $(cat "$e2e_scratch/levelcheck.log")"

  local entry="$prefix/share/applications/vems.desktop"
  desktop-file-validate "$entry" || e2e_fail "desktop-file-validate refuses the desktop entry"
  for line in 'Type=Application' 'Name=Vems' 'Exec=vems' 'Icon=vems' 'Terminal=false' \
    'Categories=Game;LogicGame;'; do
    grep -qxF "$line" "$entry" || e2e_fail "the desktop entry lacks \"$line\""
  done
  grep -q '^Comment=.' "$entry" || e2e_fail "the desktop entry has no comment"

  for size in $icon_sizes; do
    local icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vems.png"
    [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x${size}" ] ||
      e2e_fail "the $size pixel icon is not a $size by $size PNG"
    cmp -s "$source/data/icons/vems-$size.png" "$icon" || e2e_fail "the $size pixel icon differs from data/icons/"
  done

  local metainfo="$prefix/share/metainfo/example.vems.Vems.metainfo.xml"
  appstreamcli validate --no-net "$metainfo" >"$e2e_scratch/appstream.log" 2>&1 ||
    e2e_fail "appstreamcli refuses the metadata: $(cat "$e2e_scratch/appstream.log")"
  grep -qF '<launchable type="desktop-id">vems.desktop</launchable>' "$metainfo" ||
    e2e_fail "the metadata does not launch vems.desktop"

  local warnings page
  for page in vems vems-levelcheck; do
    warnings=$(man --warnings -l "$prefix/share/man/man6/$page.6.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || e2e_fail "the manual page $page.6 has warnings: $warnings"
  done
  for line in SYNOPSIS replay 'STEPS FILES' 'EXIT STATUS'; do
    MANWIDTH=80 man -l "$prefix/share/man/man6/vems-levelcheck.6.gz" 2>/dev/null | grep -qF -- "$line" ||
      e2e_fail "the level checker's manual page does not tell \"$line\""
  done
  for line in NAME SYNOPSIS DESCRIPTION OPTIONS CONTROLS FILES 'EXIT STATUS' ENVIRONMENT SDL_VIDEODRIVER \
    SDL_AUDIODRIVER SDL_RENDER_DRIVER /usr/share/vems; do
    MANWIDTH=80 man -l "$prefix/share/man/man6/vems.6.gz" 2>/dev/null | grep -qF "$line" ||
      e2e_fail "the manual page does not tell \"$line\""
  done
}

# Runs the installed game as a desktop menu does: "vems" from PATH, here reached through a link to
# launcher $1, started in a folder that holds none of its files. It must show the title and level 1 of
# data folder $2, bring the title back on Escape and quit with status 0 on the next. Output and
# screenshots go to $3.log and $3-*.png.
play_installed() {
  local launcher=$1 data=$2 shots=$3
  mkdir -p "$e2e_scratch/path" "$e2e_scratch/elsewhere"
  ln -sfn "$launcher" "$e2e_scratch/path/vems"
  local -x PATH="$e2e_scratch/path:$PATH"
  # The shipped game, whatever files of their own the machine's user keeps for it.
  local -x XDG_DATA_HOME="$e2e_scratch/xdg"
  start_game "$e2e_scratch/elsewhere" vems "$shots.log"
  shot_until "$shots-title.png" shows_title "$data" || e2e_fail "the installed game shows no title screen"
  # Play loads level 1 from the installed data folder.
  click_play_into_level1 "$shots-level1.png" "$data" || e2e_fail "the installed game did not start level 1"
  press Escape
  shot_until "$shots-title-again.png" shows_title "$data" || e2e_fail "Escape did not bring the title back"
  press Escape
  await_game
  [ "$e2e_status" -eq 0 ] || e2e_fail "the installed game ended with status $e2e_status: $(cat "$shots.log")"
}
