#!/usr/bin/env bash
# Runs every test: installs and builds what is missing, then the unit and host tests,
# the unit tests again under AddressSanitizer + UndefinedBehaviorSanitizer (with the
# keyboard view's debug log switched on), and the held-note snapshot under
# ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"

# A compiler cache, where there is one, is shared between checkouts of the project.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

AURELIN_SKIP_DEMO=1 ./build.sh

LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
    LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

passed=0
failed=0
suite() {
    local name=$1; shift
    echo "== $name"
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "== $name FAILED"; fi
}

sanitized_tests() {
    local dir=$1 sanitizers=$2 filter=$3; shift 3
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${LAUNCHER[@]}" \
          -DAURELIN_SANITIZE="$sanitizers" -DAURELIN_BUILD_PLUGIN=OFF -DAURELIN_BUILD_BENCH=OFF "$@" >/dev/null &&
    cmake --build "$dir" --target aurelin_tests &&
    "$dir/tests/aurelin_tests" --gtest_filter="$filter"
}

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1

suite "unit and host tests" ctest --test-dir build --output-on-failure
suite "unit tests under ASan + UBSan" sanitized_tests build-asan address,undefined '*' -DAURELIN_DEBUG_LOG=ON
suite "held-note snapshots under TSan" sanitized_tests build-tsan thread 'HeldNoteSnapshots.*'
suite "benchmarks run" build/bench/aurelin_bench --benchmark_min_time=0.01

echo
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
