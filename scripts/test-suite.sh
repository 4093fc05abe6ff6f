#!/usr/bin/env bash
# One suite of make test: configures and builds a tree, runs its ctest and, optionally, one more
# command. Everything goes to <build>/suite.log, printed whole only on failure, so that two suites
# running side by side do not interleave their output. Fails when any step fails.
#
#   scripts/test-suite.sh NAME BUILD JOBS [CTEST ARGS...] -- [CMAKE ARGS...] [-- AFTER COMMAND...]
set -uo pipefail
cd "$(dirname "$0")/.."

name=$1 build=$2 jobs=$3
shift 3
ctest_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do ctest_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
cmake_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
after=("$@")

mkdir -p "$build"
log="$build/suite.log"
start=$SECONDS
echo "== $name: building and testing in $build with $jobs jobs (log: $log)"
if {
    cmake -S . -B "$build" -G Ninja "${cmake_args[@]}" &&
        cmake --build "$build" -j "$jobs" &&
        (cd "$build" && ctest --output-on-failure -j "$jobs" "${ctest_args[@]}") &&
        { [ ${#after[@]} -eq 0 ] || "${after[@]}"; }
} >"$log" 2>&1; then
    echo "== $name passed in $((SECONDS - start)) s: $(grep -E 'tests passed' "$log" | tail -n 1)"
    [ ${#after[@]} -eq 0 ] || tail -n 1 "$log"
else
    echo "== $name FAILED after $((SECONDS - start)) s; its log follows ($log)"
    sed "s/^/[$name] /" "$log"
    exit 1
fi
