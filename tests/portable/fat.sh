#!/usr/bin/env bash
# The folder on a FAT file system (no symbolic links, hard links or permission bits): copied onto
# a loop-mounted FAT image, its vorkel-cli makes an account, saves, changes the master password
# (the two-file save) and reads it all back. Where the machine cannot mount FAT the test says why
# and is skipped (exit 77); in CI (CI set) it fails instead when the mount should have worked.
source "$(dirname "$0")/common.sh"

skip() {
  echo "SKIPPED: $*" >&2
  if [[ -n ${CI:-} && ${should_work:-0} == 1 ]]; then fail "in CI the FAT mount should work: $*"; fi
  exit 77
}
command -v mkfs.vfat >/dev/null || skip "mkfs.vfat is missing (package dosfstools)"
[[ $(id -u) == 0 ]] || skip "mounting needs root"
[[ -e /dev/loop-control ]] || skip "no loop devices (/dev/loop-control)"
grep -qw vfat /proc/filesystems || modprobe -q vfat 2>/dev/null ||
  skip "the kernel has no vfat driver (not in /proc/filesystems, no module to load)"
should_work=1

image="$work/stick.img"
truncate -s 160M "$image"
mkfs.vfat -n VORKEL "$image" >/dev/null
mkdir "$work/mnt"

# The mount lives only in this private namespace and vanishes with it.
unshare -m -- bash -s "$image" "$work/mnt" "$unpacked/Vorkel" >"$work/run.log" 2>&1 <<'INNER' || rc=$?
set -euo pipefail
image=$1 mnt=$2 src=$3
mount -o loop "$image" "$mnt" || exit 90
cp -r "$src" "$mnt/Vorkel"
cli="$mnt/Vorkel/vorkel-cli"
pw() { printf '%s\n' "$@"; }
pw Secret1 | "$cli" --user alice --password-stdin init
pw Secret1 | "$cli" --user alice --password-stdin add --title "On the stick"
pw Secret1 New2 New2 | "$cli" --user alice --password-stdin passwd
listed=$(pw New2 | "$cli" --user alice --password-stdin list)
[[ $listed == *"On the stick"* ]]
INNER
cat "$work/run.log"
case ${rc:-0} in
  0) echo "saved and read back on FAT" ;;
  90) skip "the loop mount of the FAT image failed" ;;
  *) fail "the commands on FAT failed (exit ${rc})" ;;
esac
