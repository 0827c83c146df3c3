#!/usr/bin/env bash
# Builds every fuzz target (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer over
# all of Saporin's code) in a build folder of its own and runs each over its seed corpus.
# Usage: scripts/fuzz.sh [SECONDS]   seconds per target, 60 unless given
# Fails when a target cannot be built or when any run finds a crash, a sanitizer report, a leak,
# a timeout or memory exhaustion; the input is then kept in the build folder's findings/.
# Environment: SAPORIN_FUZZ_BUILD_DIR (default build-fuzz/), SAPORIN_FUZZ_JOBS (build jobs, 2).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build=${SAPORIN_FUZZ_BUILD_DIR:-$top/build-fuzz}
jobs=${SAPORIN_FUZZ_JOBS:-2}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DSAPORIN_BUILD_FUZZ=ON -DSAPORIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target saporin_fuzzers --parallel "$jobs"

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
# A smaller quarantine than the default 256 MB keeps long runs within the memory limit; the
# reader itself holds no memory from one input to the next.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=64}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/scripts/fuzz-leaks.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
while read -r name dict seeds; do
  [ -n "$name" ] || continue
  corpus="$build/fuzz/corpus/$name"
  findings="$build/fuzz/findings/$name"
  mkdir -p "$corpus" "$findings"
  args=(-max_total_time="$seconds" -max_len=16384 -timeout=20 -rss_limit_mb=2048
        -print_final_stats=1 -artifact_prefix="$findings/")
  [ "$dict" != "-" ] && args+=(-dict="$dict")
  log="$build/fuzz/$name.log"
  echo "== $name: ${seconds} s over $corpus and ${seeds//,/ }"
  status=0
  # shellcheck disable=SC2086 # the seed folders are one word each
  (cd "$build/fuzz" && "./$name" "${args[@]}" "$corpus" ${seeds//,/ }) </dev/null >"$log" 2>&1 || status=$?
  # The last status line holds the coverage counters (cov) and features (ft) reached.
  grep -E '^#[0-9]+' "$log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "!! $name found a fault (exit $status); see $log and $findings/"
    grep -E 'ERROR:|runtime error:|SUMMARY:|Test unit written' "$log" | head -n 20 || true
    failed=1
  fi
done <"$build/fuzz/targets.txt"
exit "$failed"
