#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# writes the seed corpora, and runs each target for FUZZ_SECONDS (default 60). Any crash, leak,
# sanitizer report or broken property fails the run; the input that found it is kept in
# $FUZZ_BUILD/findings/.
#
# With --replay (make test), each target instead runs once over the committed corpus
# (fuzz/corpus/<area>) and the generated seeds, and stops: a regression on a known input fails
# every run, the same way, in seconds.
#
#   FUZZ_SECONDS=600 scripts/fuzz.sh            # every target, ten minutes each
#   scripts/fuzz.sh fuzz_settings               # one target
#   scripts/fuzz.sh --replay                    # every target over its corpus, once
set -euo pipefail
cd "$(dirname "$0")/.."

replay=false
if [ "${1:-}" = "--replay" ]; then
    replay=true
    shift
fi

build=${FUZZ_BUILD:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-$(nproc)}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
      -DCMAKE_CXX_COMPILER=clang++-14 -DVORKEL_FUZZ=ON -DVORKEL_GUI=OFF -DVORKEL_BENCH=OFF -DVORKEL_TESTS=OFF \
      -DVORKEL_WERROR=ON \
      ${FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_all

if [ $# -gt 0 ]; then targets=("$@"); else mapfile -t targets < "$build/fuzz-targets.txt"; fi

rm -rf "$build/seeds"
"$build/fuzz/make_fuzz_corpus" "$build/seeds"
mkdir -p "$build/findings"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
for target in "${targets[@]}"; do
    [ -n "$target" ] || continue
    area=${target#fuzz_}
    corpus="$build/corpus/$area"   # grows between runs; the seeds below are read only
    mkdir -p "$corpus"
    seeds=()
    for dir in "$build/seeds/$area" "fuzz/corpus/$area"; do
        if [ -d "$dir" ]; then seeds+=("$dir"); fi
    done
    if $replay; then
        # -runs=0: load (run) every input once, mutate nothing. The first folder is where
        # libFuzzer writes inputs it keeps, so a scratch one keeps the committed corpus as it is.
        scratch="$build/replay/$area"
        rm -rf "$scratch"
        mkdir -p "$scratch"
        if ! "$build/fuzz/$target" -runs=0 -detect_leaks=1 -timeout=20 -rss_limit_mb=2048 \
                -artifact_prefix="$build/findings/$target-" "$scratch" "${seeds[@]}" \
                > "$build/$target.log" 2>&1; then
            tail -n 60 "$build/$target.log"
            failed+=("$target")
        else
            echo "$target: $(find "${seeds[@]}" -type f | wc -l) inputs replayed"
        fi
        continue
    fi
    dict=()
    case $area in datastore|settings) dict=(-dict=fuzz/dict/xml.dict) ;; esac
    echo "== $target: $seconds s"
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -detect_leaks=1 -timeout=20 \
            -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 "${dict[@]}" \
            -artifact_prefix="$build/findings/$target-" "$corpus" "${seeds[@]}" \
            > "$build/$target.log" 2>&1; then
        tail -n 60 "$build/$target.log"
        failed+=("$target")
    else
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ *DONE)' \
            "$build/$target.log" || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]} (inputs in $build/findings/)" >&2
    exit 1
fi
if $replay; then
    echo "fuzz replay: ${#targets[@]} targets, every committed and generated input, no findings"
else
    echo "fuzzing: ${#targets[@]} targets, $seconds s each, no findings"
fi
