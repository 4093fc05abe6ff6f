#!/usr/bin/env bash
# The bundled vorkel on a real X server (Xvfb, no window manager) with the system's Qt hidden:
# the first run makes an account through the logon and confirm dialogs, File > Exit closes it,
# and both files are written beside the program; the bundled vorkel-cli then opens them.
source "$(dirname "$0")/common.sh"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the Makefile's package list installs it)"
done
dir=$(fresh_copy Vorkel)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
cleanups+=("kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null")
wait_until 30 test -s "$work/display" || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"

QT_QPA_PLATFORM=xcb "$masked" "$dir/vorkel" >"$work/vorkel.log" 2>&1 &
app=$!
cleanups+=("kill $app 2>/dev/null")

# Waits for a visible window with exactly that title and gives it the keyboard.
window() {
  local id
  id=$(timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1) ||
    { cat "$work/vorkel.log" >&2; fail "no window \"$1\""; }
  xdotool windowfocus --sync "$id"
  echo "$id"
}

window "Vorkel Logon" >/dev/null
xdotool type --delay 10 alice
xdotool key Tab
xdotool type --delay 10 'Secret 1'
xdotool key Return
window "Confirm Password" >/dev/null
xdotool type --delay 10 'Secret 1'
xdotool key alt+o
main=$(window "Vorkel v${VORKEL_VERSION:?the version comes from ctest}")
# What the logon left on disk; the close must write both files again (a fresh salt each time).
declare -A before=()
for file in Vorkel4.xdb Vorkel4.vfg; do
  before[$file]=$([[ -f "$dir/$file" ]] && sha256sum <"$dir/$file" || true)
done
# File is the first menu; with no item active, Up selects its last item, Exit.
xdotool mousemove --window "$main" 18 10 click 1
# The menu's popup is a window of its own; keys go to it once it shows.
menu_open() { [[ $(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l) -ge 2 ]]; }
wait_until 60 menu_open || fail "the File menu did not open"
xdotool key Up Return
wait_for_exit "$app" 60 || { cat "$work/vorkel.log" >&2; fail "vorkel did not end cleanly"; }

[[ -s "$dir/Vorkel4.xdb" && -s "$dir/Vorkel4.vfg" ]] || fail "the close did not write both files"
for file in Vorkel4.xdb Vorkel4.vfg; do
  [[ $(sha256sum <"$dir/$file") != "${before[$file]}" ]] || fail "the close did not write $file"
done
listed=$(printf 'Secret 1\n' | "$dir/vorkel-cli" --user alice --password-stdin list) ||
  fail "the files the program wrote do not open"
[[ $listed == *"A Sample Entry"* ]] || fail "list gave: $listed"
echo "logged on and closed on Xvfb; both files written and readable"
