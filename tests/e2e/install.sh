#!/usr/bin/env bash
# The installed game: `cmake --install` into a scratch prefix, and again with DESTDIR as a package build
# does, gives exactly the expected tree (launcher, binary, every data file byte for byte, a valid desktop
# entry, the icons, AppStream metadata, the manual page); then the launcher, reached through a link on PATH
# as a desktop menu reaches it and started from an unrelated folder, runs the game up to level 1 in its
# own X server.
# Usage: install.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
e2e_name=install
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
# shellcheck source=support/installed.sh
. "$source/tests/e2e/support/installed.sh"
e2e_need cmake desktop-file-validate appstreamcli man identify Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$build/vems" ] || e2e_fail "$build/vems is not built"
shots="$build/e2e-shots"
mkdir -p "$shots"

prefix="$e2e_scratch/prefix"
install_into "$prefix"
check_installed_tree "$prefix" bin
cmp -s "$build/vems" "$prefix/libexec/vems/vems" || e2e_fail "the installed binary is not the built one"
DESTDIR="$e2e_scratch/package" cmake --install "$build" --prefix /usr >"$e2e_scratch/package.log" ||
  e2e_fail "cmake --install with DESTDIR failed: $(cat "$e2e_scratch/package.log")"
check_installed_tree "$e2e_scratch/package/usr" bin
echo "install: both trees hold the launcher, the binary, $(echo "$data_files" | wc -l) data files, the entry, icons, metadata and manual page"

export SDL_AUDIODRIVER=dummy
start_xvfb
play_installed "$prefix/bin/vems" "$prefix/share/vems" "$shots/install"
echo "install: passed; the installed launcher started the game and level 1"
