#!/usr/bin/env bash
# Keys held and relative mouse motion in a real X server reach the input records: runs the input probe
# in its own Xvfb and drives it with xdotool. Arguments: build directory, source directory.
set -euo pipefail
build=$1
probe=$build/tests/input_probe
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "input_xvfb: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
[ -x "$probe" ] || { echo "input_xvfb: $probe was not built" >&2; exit 1; }

work=$(mktemp -d)
xvfb=""
run=""
cleanup() {
  [ -n "$run" ] && kill "$run" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: a random free number, tried again if another run took it meanwhile.
for attempt in 1 2 3 4 5; do
  display=$((20 + RANDOM % 70))
  [ -e "/tmp/.X$display-lock" ] && continue
  Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
  done
  DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
  kill "$xvfb" 2>/dev/null || true
  xvfb=""
done
[ -n "$xvfb" ] || { echo "input_xvfb: no X server could be started" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"

SDL_AUDIODRIVER=dummy "$probe" >"$work/out" 2>"$work/err" &
run=$!
for _ in $(seq 100); do
  grep -q '^ready' "$work/out" && break
  sleep 0.1
done
grep -q '^ready' "$work/out" || { echo "input_xvfb: the probe did not start" >&2; cat "$work/err" >&2; exit 1; }
window=$(xdotool search --name 'Vems input probe' | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.3

# Held long enough to be seen by a once-a-frame poll.
xdotool keydown Up
sleep 0.3
xdotool keyup Up
xdotool keydown 5
sleep 0.3
xdotool keyup 5
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
  grep -q "^$1\$" "$work/out" || { echo "input_xvfb: expected \"$1\"" >&2; fail=1; }
}
expect 'key 0xC8 down'
expect 'key 0xC8 up'
expect 'key 0x06 down'
expect 'key 0x06 up'
expect 'button 0 down'
expect 'button 0 up'
motion=$(awk '$1 == "motion" { x += $2; y += $3 } END { printf "%d %d", x, y }' "$work/out")
[ "$motion" = "23 25" ] || { echo "input_xvfb: mouse moved \"$motion\", expected \"23 25\"" >&2; fail=1; }
if [ "$fail" -ne 0 ]; then
  echo "--- probe output" >&2
  cat "$work/out" "$work/err" >&2
  exit 1
fi
echo "input_xvfb: keys, buttons and relative motion arrive"
