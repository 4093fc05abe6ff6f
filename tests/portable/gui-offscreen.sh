#!/usr/bin/env bash
# The bundled vorkel starts on the offscreen platform with the system's Qt hidden: it reaches its
# event loop (a second start finds it through the single-instance guard and hands over), then
# it is ended.
source "$(dirname "$0")/common.sh"
dir=$(fresh_copy Vorkel)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen

"$masked" "$dir/vorkel" >"$work/first.log" 2>&1 &
first=$!
cleanups+=("kill $first 2>/dev/null")
listening() { compgen -G "$XDG_RUNTIME_DIR/vorkel-*" >/dev/null; }
wait_until 60 listening || { cat "$work/first.log" >&2; fail "vorkel did not start"; }
kill -0 "$first" || fail "vorkel ended"

# The second start must reach the first, which answers from its event loop, and end with 0.
"$masked" "$dir/vorkel" >"$work/second.log" 2>&1 &
second=$!
wait_for_exit "$second" 60 || { cat "$work/second.log" >&2; fail "the second start did not hand over"; }
kill -0 "$first" || fail "the first instance ended"
kill "$first"
wait_for_exit "$first" 30 || true
echo "started on offscreen from the folder alone"
