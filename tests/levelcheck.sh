#!/usr/bin/env bash
# Runs the level checker as its users do and checks what it says and its exit status.
# Usage: levelcheck.sh expect STATUS TEXT CHECKER ARGS...   the run ends with STATUS and prints a line holding TEXT
#        levelcheck.sh solve MOVES CHECKER LEVEL            the shortest solution is MOVES moves (none in one fewer),
#                                                      the same on a second run but for the time, and it
#                                                      replays to the door
set -euo pipefail

fail() {
  echo "levelcheck.sh: $*" >&2
  exit 1
}

# Runs the checker; its output goes to $out and its status to $status.
run() {
  status=0
  out=$("$@" 2>&1) || status=$?
}

expect() {
  local want=$1 text=$2
  shift 2
  run "$@"
  [ "$status" -eq "$want" ] || fail "$* ended with $status, not $want: $out"
  grep -qF -- "$text" <<<"$out" || fail "$* did not say \"$text\": $out"
  echo "$out"
}

solve() {
  local moves=$1 checker=$2 level=$3 first
  expect 0 "no solution within $((moves - 1)) moves" "$checker" --depth $((moves - 1)) "$level" >/dev/null
  first=$(expect 0 "shortest solution, $moves moves" "$checker" --depth "$moves" "$level")
  run "$checker" --depth "$moves" "$level"
  # Only the time taken may differ between two runs.
  local untimed='s/ in [0-9.]* s, [0-9]* states\/s, [0-9]* frames\/s//'
  [ "$(sed "$untimed" <<<"$first")" = "$(sed "$untimed" <<<"$out")" ] ||
    fail "two searches of $level differ: $first --- $out"
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  sed -n '/shortest solution/,$p' <<<"$first" | tail -n +2 >"$scratch/found.steps"
  [ "$(grep -c . "$scratch/found.steps")" -eq "$moves" ] || fail "the solution printed is not $moves steps: $first"
  expect 0 "reaches the door" "$checker" --replay "$scratch/found.steps" "$level"
}

mode=$1
shift
case $mode in
  expect) expect "$@" ;;
  solve) solve "$@" ;;
  *) fail "no mode $mode" ;;
esac
