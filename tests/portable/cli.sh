#!/usr/bin/env bash
# The bundled vorkel-cli, run from a path of its own, makes an account beside itself and lists
# it; with the system's Qt hidden, to be sure nothing outside the folder is needed for it either.
source "$(dirname "$0")/common.sh"
dir=$(fresh_copy "some place/Vorkel")
cd "$work"
printf 'Secret1\n' | "$masked" "$dir/vorkel-cli" --user alice --password-stdin init ||
  fail "init failed"
[[ -f "$dir/Vorkel4.xdb" && -f "$dir/Vorkel4.vfg" ]] || fail "the files are not beside the program"
printf 'Secret1\n' | "$masked" "$dir/vorkel-cli" --user alice --password-stdin add --title Carried ||
  fail "add failed"
listed=$(printf 'Secret1\n' | "$masked" "$dir/vorkel-cli" --user alice --password-stdin list)
expected=$'A Sample Entry\nGoogle Email (Gmail)\nWindows Live (Hotmail)\nYahoo!\nCarried'
[[ $listed == "$expected" ]] || fail "list gave: $listed"
echo "account made and listed in '$dir'"
