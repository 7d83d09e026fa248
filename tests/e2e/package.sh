#!/usr/bin/env bash
# The Debian package: cpack makes vems_VERSION_ARCH.deb from the build, with its dependencies read from
# the binary's libraries; lintian finds no error and no warning but those the README lists; apt can
# install it, over a vems already installed too; it holds exactly the installed tree with the launcher
# in /usr/games, and one version throughout. Unpacked with dpkg -x, its launcher starts the game from an
# unrelated folder, level 1 comes and the game quits with 0; its game started without the launcher says
# on standard error what it missed, where it looked and how to start it, and ends with 1.
# Usage: package.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
e2e_name=package
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
# shellcheck source=support/installed.sh
. "$source/tests/e2e/support/installed.sh"
e2e_need cpack dpkg dpkg-deb lintian apt-get desktop-file-validate appstreamcli man identify \
  Xvfb xdotool xwininfo xdpyinfo import compare convert
[ -x "$build/vems" ] || e2e_fail "$build/vems is not built"
shots="$build/e2e-shots"
mkdir -p "$shots"

# Made into the scratch folder, so the build folder keeps no package of an older run.
(cd "$build" && cpack -G DEB -B "$e2e_scratch/cpack") >"$e2e_scratch/cpack.log" 2>&1 ||
  e2e_fail "cpack failed: $(cat "$e2e_scratch/cpack.log")"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$e2e_scratch/cpack/vems_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || e2e_fail "cpack made no $(basename "$deb"): $(ls "$e2e_scratch/cpack")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = vems ] && [ "$(field Version)" = "$version" ] && [ "$(field Section)" = games ] ||
  e2e_fail "the package is not vems $version in games: $(dpkg-deb --info "$deb")"
# The dependencies come from dpkg-shlibdeps, which names the library package with its version.
field Depends | grep -q 'libsdl2-2\.0-0 (>= ' || e2e_fail "the dependencies were not read from the binary: $(field Depends)"

# A warning kept would be suppressed here by name, with its reason in the README; none is.
if ! lintian --fail-on error,warning "$deb" >"$e2e_scratch/lintian.log" 2>&1; then
  e2e_fail "lintian: $(grep -v '^running with root' "$e2e_scratch/lintian.log")"
fi
# On a machine that has vems already, apt would call the same version "already the newest" and look no
# further; --reinstall has it resolve this package whatever is installed. Its line then names the
# installed version in brackets: "Inst vems [0.9.0] (1.0.0 local-deb [amd64])".
apt-get install --simulate --reinstall "$deb" >"$e2e_scratch/apt.log" 2>&1 ||
  e2e_fail "apt-get cannot install the package: $(cat "$e2e_scratch/apt.log")"
grep -q "^Inst vems \(\[[^]]*\] \)\?($version local-deb " "$e2e_scratch/apt.log" ||
  e2e_fail "apt-get would not install vems $version from the package: $(cat "$e2e_scratch/apt.log")"

root="$e2e_scratch/root"
dpkg -x "$deb" "$root"
check_installed_tree "$root/usr" games
# One version throughout: the newest changelog entry, the newest AppStream release, the manual page.
zcat "$root/usr/share/doc/vems/changelog.gz" | head -n 1 | grep -qF "vems ($version) " ||
  e2e_fail "the changelog's newest entry is not $version"
grep -m 1 '<release ' "$root/usr/share/metainfo/example.vems.Vems.metainfo.xml" | grep -qF "version=\"$version\"" ||
  e2e_fail "the AppStream metadata's newest release is not $version"
zcat "$root/usr/share/man/man6/vems.6.gz" | grep -q "^\.TH VEMS 6 .* \"Vems $version\"" ||
  e2e_fail "the manual page is not of version $version"
echo "package: $(basename "$deb") passes lintian, installs, and holds $(expected_tree games | wc -l) files"

export SDL_AUDIODRIVER=dummy
start_xvfb
play_installed "$root/usr/games/vems" "$root/usr/share/vems" "$shots/package"

# The game itself, started where none of its files are: the help box still comes first, then words on
# standard error and status 1.
elsewhere="$e2e_scratch/elsewhere"
mkdir -p "$elsewhere"
start_game "$elsewhere" "$root/usr/libexec/vems/vems" "$shots/package-elsewhere.log"
await_game
said=$(cat "$shots/package-elsewhere.log")
[ "$e2e_status" -eq 1 ] || e2e_fail "the game started in the wrong folder ended with $e2e_status: $said"
for words in "\"Vems-BG-Cyan.bmp\" is not in the working folder $elsewhere" 'launcher "vems"' scripts/play; do
  grep -qF "$words" <<<"$said" || e2e_fail "started in the wrong folder, the game did not say \"$words\": $said"
done
echo "package: passed; the packaged launcher started the game and level 1, the bare game said why it could not start"
