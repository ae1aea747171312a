#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address + undefined sanitizers) in a
# separate build directory and runs each for a while from its seed corpus.
# Fails on any crash, leak, sanitizer report or broken property.
#
#   scripts/run-fuzz.sh [SECONDS_PER_TARGET]     (default 20)
#   FUZZ_BUILD=dir  build directory (default: fuzz-build in the source tree)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/fuzz-build}
seconds=${1:-${FUZZ_SECONDS:-20}}
jobs=${JOBS:-2}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVIN_FUZZ=ON -DKORVIN_SANITIZE=ON -DKORVIN_WITH_QT=OFF >/dev/null
cmake --build "$build" --target fuzz_all -j "$jobs"

read -r -a targets <<<"$(tr ';' ' ' <"$build/fuzz_targets.txt")"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
for target in "${targets[@]}"; do
  seeds="$root/tests/fuzz/corpus/$target"
  work="$build/fuzz-corpus/$target"        # new inputs go here, not into the tree
  artifacts="$build/fuzz-artifacts/$target"
  mkdir -p "$work" "$artifacts"
  rm -f "$artifacts"/*
  echo "== $target: ${seconds}s"
  if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$work" "$seeds" 2>"$build/$target.log"; then
    failed+=("$target")
  elif compgen -G "$artifacts/*" >/dev/null; then
    failed+=("$target")
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$build/$target.log" || true
done

if ((${#failed[@]})); then
  for target in "${failed[@]}"; do
    echo "FAILED: $target (log: $build/$target.log)"
    tail -n 30 "$build/$target.log"
  done
  exit 1
fi
echo "all fuzz targets passed: ${targets[*]}"
