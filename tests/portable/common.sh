# Shared by the portable folder's tests; sourced, never run.
#   $1 of every test: the folder the bundle fixture unpacked the archive into.
set -euo pipefail

unpacked=$1
[[ -d "$unpacked/Vorkel" ]] || { echo "FAIL: no unpacked folder in $unpacked (the bundle fixture failed?)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vorkel-portable.XXXXXX")
cleanups=()
cleanup() {
  local c
  for c in "${cleanups[@]}"; do eval "$c" || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A copy of the folder at a path of this test's own: the folder must run from anywhere, and each
# test gets fresh data files.
fresh_copy() {
  mkdir -p "$(dirname "$work/$1")"
  cp -r "$unpacked/Vorkel" "$work/$1"
  echo "$work/$1"
}

# "$masked" CMD...: CMD with the system's Qt hidden; run in the background, $! is CMD's own id.
masked="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/masked.sh"

# Waits, at most $1 seconds (a guard, not a pause), until the command after it succeeds.
wait_until() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Waits for process $1 to end, at most $2 seconds; its exit code is returned.
wait_for_exit() {
  local pid=$1 limit=$2
  if ! wait_until "$limit" eval "! kill -0 $pid 2>/dev/null"; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 124
  fi
  local rc=0
  wait "$pid" || rc=$?
  return $rc
}
