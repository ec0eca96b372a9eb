#!/usr/bin/env bash
# Builds the project and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own (build/asan) and
# runs the whole test suite there. Any sanitizer report stops the test that
# made it, and the script fails.
#
#   scripts/sanitize.sh            build everything, run every test
#   scripts/sanitize.sh REGEX      build everything, run the tests whose names match
#
# JOBS sets the parallel build and test jobs (default: the number of cores);
# WEXON_BENCH=ON builds the benchmarks too (they are built, not run).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build/asan
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
SANITIZE="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"

# Reports end the process with an error (abort), so a test cannot pass past
# one. Leaks are reported too; scripts/lsan.supp lists the few that belong to
# system libraries the Qt tests load, not to this program.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

# The compiler cache keys on paths inside the source tree, so a fresh clone
# reuses what an earlier build in another folder compiled.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEXON_WERROR=ON \
    -DWEXON_BUILD_TESTS=ON -DWEXON_BUILD_BENCH="${WEXON_BENCH:-OFF}" \
    -DCMAKE_CXX_FLAGS="$SANITIZE" $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The test lists are gathered by running each test program at build time, so
# the options above already apply while building.
cmake --build "$BUILD" -j "$JOBS"

if [ $# -gt 0 ]; then
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 300 -R "$1"
else
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 300
fi
