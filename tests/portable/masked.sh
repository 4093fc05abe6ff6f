#!/usr/bin/env bash
# masked.sh CMD...: CMD in a private mount namespace in which the system's Qt is hidden: its
# plugin folder under an empty tmpfs and every Qt library file under /dev/null, so a Qt library
# or plugin found outside the portable folder fails to load. CMD keeps this script's process id,
# so a test can wait for it and end it. A user other than root gets the namespace through a
# user namespace of its own.
set -euo pipefail
as_root=()
[[ $(id -u) == 0 ]] || as_root=(--map-root-user)
exec unshare "${as_root[@]}" -m -- bash -c '
  set -e
  mount -t tmpfs none "$0/qt6"
  for f in "$0"/libQt6*.so*; do
    [ -L "$f" ] || mount --bind /dev/null "$f"
  done
  test ! -s "$0/libQt6Core.so.6"   # the mask holds
  exec "$@"' /usr/lib/x86_64-linux-gnu "$@"
