#!/usr/bin/env bash
# Compares the engine's speed with an earlier revision's. Builds korvin-cli
# from BASE (a git revision, in a temporary worktree) and from the current
# working tree, both in Release and in temporary build folders, then runs
# `korvin-cli bench` with the two binaries alternately ROUNDS times, so that
# whatever else the machine does affects both alike. Prints the nodes per
# second of each run and the median and range of the ratio new / base over
# the pairs. Both must count the same nodes, or the comparison fails.
#
#   bench/speed-compare.sh [BASE] [ROUNDS]     (defaults: e2f0512, 7)
#   CALLGRIND=1   also counts the instructions of `bench --depth 5` under
#                 valgrind's callgrind (repeatable where timing is not)
#   JOBS=n        build jobs (default 2)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
base=${1:-e2f0512}
rounds=${2:-7}
jobs=${JOBS:-2}

work=$(mktemp -d)
cleanup() {
  git -C "$root" worktree remove --force "$work/base-src" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

build_cli() {  # SOURCE BUILD
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DKORVIN_WITH_QT=OFF >"$2.log" 2>&1 ||
    { cat "$2.log"; exit 1; }
  cmake --build "$2" -j "$jobs" --target korvin-cli >>"$2.log" 2>&1 || { cat "$2.log"; exit 1; }
}

echo "building the base ($base) and the working tree ..."
git -C "$root" worktree add --detach "$work/base-src" "$base" >/dev/null 2>&1
mkdir -p "$work/base" "$work/new"
build_cli "$work/base-src" "$work/base"
build_cli "$root" "$work/new"
base_cli="$work/base/tools/cli/korvin-cli"
new_cli="$work/new/tools/cli/korvin-cli"

# Prints "NODES NPS" of one bench run.
bench() {
  "$1" bench 2>/dev/null | awk '/^nodes /{n=$2} /^nps /{s=$2} END{print n, s}'
}

ratios=()
for ((r = 1; r <= rounds; r++)); do
  # Alternate which binary goes first, so neither always runs second.
  if ((r % 2)); then
    read -r bn bs < <(bench "$base_cli")
    read -r nn ns < <(bench "$new_cli")
  else
    read -r nn ns < <(bench "$new_cli")
    read -r bn bs < <(bench "$base_cli")
  fi
  if [ "$bn" != "$nn" ]; then
    echo "node counts differ: base $bn, new $nn" >&2
    exit 1
  fi
  ratio=$(awk -v a="$ns" -v b="$bs" 'BEGIN{printf "%.3f", a / b}')
  ratios+=("$ratio")
  printf 'round %d: base %s nodes/s, new %s nodes/s, ratio %s\n' "$r" "$bs" "$ns" "$ratio"
done

printf '%s\n' "${ratios[@]}" | sort -n | awk -v n="$nn" '
  { v[NR] = $1 }
  END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "bench nodes %s (both); speed ratio new/base: median %.3f, range %.3f .. %.3f over %d rounds\n",
           n, m, v[1], v[NR], NR
  }'

if [ "${CALLGRIND:-0}" = 1 ]; then
  command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
  count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" bench --depth 5 2>&1 >/dev/null |
      awk '/Collected :/{print $NF}'
  }
  bi=$(count "$base_cli")
  ni=$(count "$new_cli")
  awk -v b="$bi" -v n="$ni" 'BEGIN{printf "instructions of bench --depth 5: base %d, new %d (new/base %.3f)\n", b, n, n / b}'
fi
