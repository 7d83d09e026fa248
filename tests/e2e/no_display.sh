#!/usr/bin/env bash
# Without a display the game stops at once with a "no display" message and a failing status, rather than
# running unseen on SDL's off-screen driver; that driver, or the dummy one, still runs when asked for by
# name. A standard error nobody reads (a pipe whose reader is gone) changes nothing but the words lost:
# the status stays 1, never the silent end of SIGPIPE (141).
# Usage: no_display.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
game="$build/vems"
data="$source/data"
e2e_name=no_display
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
[ -x "$game" ] || e2e_fail "$game is not built"
export SDL_AUDIODRIVER=dummy
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

# Runs the game in the data folder with the environment changes given, standard error in $e2e_scratch/err;
# sets status and seconds (whole, rounded up). timeout ends a game that would run for good (124).
run_game() {
  local start=$SECONDS
  status=0
  (cd "$data" && exec env "$@" timeout 30 "$game") >/dev/null 2>"$e2e_scratch/err" || status=$?
  seconds=$((SECONDS - start))
}

# A display number no X server answers on.
free=""
for n in $(seq 200 299); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then free=$n; break; fi
done
[ -n "$free" ] || e2e_fail "no free display number to try"

for case in "-u DISPLAY" "DISPLAY=:$free"; do
  # shellcheck disable=SC2086 # the case is words for env
  run_game $case
  echo "$case: status $status after about $seconds s: $(grep 'no display' "$e2e_scratch/err" || true)"
  [ "$status" -eq 1 ] || e2e_fail "$case: ended with $status, not 1: $(cat "$e2e_scratch/err")"
  [ "$seconds" -le 10 ] || e2e_fail "$case: took $seconds s to stop"
  grep -q 'no display: .*DISPLAY.*WAYLAND_DISPLAY.*SDL_VIDEODRIVER' "$e2e_scratch/err" ||
    e2e_fail "$case: no 'no display' message naming the variables: $(cat "$e2e_scratch/err")"
done

# Standard error is a pipe whose only reader has closed it before the game writes a word.
mkfifo "$e2e_scratch/pipe"
# shellcheck disable=SC2094 # both ends opened on purpose, then the only reader closed
exec 4<>"$e2e_scratch/pipe" 5>"$e2e_scratch/pipe" 4<&-
status=0
(cd "$data" && exec env -u DISPLAY timeout 30 "$game") >/dev/null 2>&5 || status=$?
exec 5>&-
echo "standard error closed by its reader: status $status"
[ "$status" -eq 1 ] || e2e_fail "with nobody reading standard error the game ended with $status, not 1"

# Asked for by name, the drivers that draw nowhere run the game: still running when the stop above would
# long have come.
for driver in offscreen dummy; do
  (cd "$data" && exec env -u DISPLAY SDL_VIDEODRIVER=$driver "$game") >/dev/null 2>"$e2e_scratch/err" &
  e2e_game_pid=$!
  sleep 2
  kill -0 "$e2e_game_pid" 2>/dev/null || e2e_fail "SDL_VIDEODRIVER=$driver: the game ended: $(cat "$e2e_scratch/err")"
  grep -q 'no display' "$e2e_scratch/err" && e2e_fail "SDL_VIDEODRIVER=$driver: said there is no display"
  kill "$e2e_game_pid"
  wait "$e2e_game_pid" 2>/dev/null || true
  e2e_game_pid=""
  echo "SDL_VIDEODRIVER=$driver: runs"
done
