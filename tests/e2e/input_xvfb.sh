#!/usr/bin/env bash
# Keys held and relative mouse motion in a real X server reach the input records: runs the input probe
# in its own Xvfb and drives it with xdotool. Arguments: build directory, source directory.
set -euo pipefail
build=$1
source=$(cd "$2" && pwd)
probe=$build/tests/input_probe
e2e_name=input_xvfb
# shellcheck source=support/xvfb.sh
. "$source/tests/e2e/support/xvfb.sh"
e2e_need Xvfb xdotool xdpyinfo
[ -x "$probe" ] || e2e_fail "$probe was not built"
start_xvfb

# The probe is stopped on exit like the game.
SDL_AUDIODRIVER=dummy "$probe" >"$e2e_scratch/out" 2>"$e2e_scratch/err" &
e2e_game_pid=$!
wait_for 100 grep -q '^ready' "$e2e_scratch/out" || e2e_fail "the probe did not start: $(cat "$e2e_scratch/err")"
window=$(xdotool search --name 'Vems input probe' | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.3

# Held long enough to be seen by a once-a-frame poll.
hold Up 0.3
hold 5 0.3
xdotool mousemove_relative -- 30 20
sleep 0.2
xdotool mousemove_relative -- -7 5
sleep 0.2
xdotool mousedown 1
sleep 0.3
xdotool mouseup 1
sleep 0.3

fail=0
expect() {
  grep -q "^$1\$" "$e2e_scratch/out" || { echo "$e2e_name: expected \"$1\"" >&2; fail=1; }
}
expect 'key 0xC8 down'
expect 'key 0xC8 up'
expect 'key 0x06 down'
expect 'key 0x06 up'
expect 'button 0 down'
expect 'button 0 up'
motion=$(awk '$1 == "motion" { x += $2; y += $3 } END { printf "%d %d", x, y }' "$e2e_scratch/out")
[ "$motion" = "23 25" ] || { echo "$e2e_name: mouse moved \"$motion\", expected \"23 25\"" >&2; fail=1; }
if [ "$fail" -ne 0 ]; then
  echo "--- probe output" >&2
  cat "$e2e_scratch/out" "$e2e_scratch/err" >&2
  exit 1
fi
echo "$e2e_name: keys, buttons and relative motion arrive"
