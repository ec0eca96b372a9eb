#!/usr/bin/env bash
# Builds and runs the libFuzzer targets of fuzz/ with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh TARGET SECONDS   run one target (e.g. log_reader) that long
#   scripts/fuzz.sh all SECONDS      run every target that long, two at a time
#   scripts/fuzz.sh list             name the targets
#
# Each target is fuzz/TARGET_fuzz.cpp, compiled directly against the sources of
# src/ it names on its "// fuzz-sources:" line into build/fuzz/. A run starts
# from the committed seeds in fuzz/corpus/TARGET/ (never written to) and keeps what it finds in
# build/fuzz/corpus/TARGET/. An input that breaks a promise or crashes is saved
# as build/fuzz/artifacts/TARGET-crash-... and the script fails; replay it with
# build/fuzz/TARGET_fuzz FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

OUT=build/fuzz
CXX=${FUZZ_CXX:-clang++}
FLAGS=(-std=c++20 -g -O1 -fno-omit-frame-pointer -Isrc
       -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all)

# Each target names the sources of src/ it needs on a line of its own:
#   // fuzz-sources: core/log_file core/quoted_form
sources_of() {
    local file=fuzz/$1_fuzz.cpp
    if [ ! -f "$file" ]; then
        echo "unknown target: $1" >&2
        return 1
    fi
    sed -n 's|^// fuzz-sources:||p' "$file" | head -1
}
TARGETS=()
for f in fuzz/*_fuzz.cpp; do
    t=${f#fuzz/}
    TARGETS+=("${t%_fuzz.cpp}")
done

# Compiles a source of src/ once into build/fuzz/obj, again only when it or a
# header of its folder changed.
object_of() {
    local src=src/$1.cpp obj=$OUT/obj/${1//\//_}.o
    if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find "$(dirname "$src")" src/core -name '*.h' -newer "$obj" -print -quit)" ]; then
        "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
    fi
    echo "$obj"
}

build_target() {
    local t=$1 objs=() s
    for s in $(sources_of "$t"); do
        objs+=("$(object_of "$s")")
    done
    local bin=$OUT/${t}_fuzz
    if [ ! -f "$bin" ] || [ "fuzz/${t}_fuzz.cpp" -nt "$bin" ] || [ fuzz/fuzz_check.h -nt "$bin" ] ||
       [ -n "$(find "${objs[@]}" -newer "$bin" -print -quit)" ]; then
        "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer "fuzz/${t}_fuzz.cpp" "${objs[@]}" -o "$bin"
    fi
}

run_target() {
    local t=$1 seconds=$2 log=$OUT/logs/$1.log
    mkdir -p "$OUT/corpus/$t" "$OUT/artifacts"
    local status=0
    ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1" \
    UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
        "$OUT/${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -timeout=10 -artifact_prefix="$OUT/artifacts/$t-" \
        "$OUT/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1 || status=$?
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    if [ "$status" -ne 0 ]; then
        echo "FAILED  $t after $runs executions (log: $log)"
        grep -E 'promise broken|ERROR|runtime error|SUMMARY' "$log" | head -5 || true
        return 1
    fi
    echo "ok      $t: $runs executions in $seconds s"
}

if [ $# -lt 1 ]; then
    sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
if [ "$1" = list ]; then
    printf '%s\n' "${TARGETS[@]}"
    exit 0
fi
SECONDS_EACH=${2:-60}
mkdir -p "$OUT/obj" "$OUT/logs"

if [ "$1" = all ]; then
    # Compile the shared sources first, then the targets, two at a time.
    all_sources=$(for t in "${TARGETS[@]}"; do sources_of "$t"; done | tr ' ' '\n' | sort -u)
    pids=()
    for s in $all_sources; do
        object_of "$s" >/dev/null &
        pids+=($!)
        if [ ${#pids[@]} -ge 2 ]; then
            wait "${pids[0]}"
            pids=("${pids[@]:1}")
        fi
    done
    for p in "${pids[@]}"; do
        wait "$p"
    done
    pids=()
    for t in "${TARGETS[@]}"; do
        build_target "$t" &
        pids+=($!)
        if [ ${#pids[@]} -ge 2 ]; then
            wait "${pids[0]}"
            pids=("${pids[@]:1}")
        fi
    done
    for p in "${pids[@]}"; do
        wait "$p"
    done
    # Two at a time: the machine's two cores.
    failed=0
    pids=()
    for t in "${TARGETS[@]}"; do
        run_target "$t" "$SECONDS_EACH" &
        pids+=($!)
        if [ ${#pids[@]} -ge 2 ]; then
            wait "${pids[0]}" || failed=1
            pids=("${pids[@]:1}")
        fi
    done
    for p in "${pids[@]}"; do
        wait "$p" || failed=1
    done
    exit $failed
fi

sources_of "$1" >/dev/null
build_target "$1"
run_target "$1" "$SECONDS_EACH"
