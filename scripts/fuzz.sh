#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/, clang with libFuzzer, address and undefined-behaviour sanitizers)
# into build-fuzz/ (or $QMX_FUZZ_BUILD_DIR) and runs every target over its seed corpus.
#
#   scripts/fuzz.sh --minutes N      the long campaign: each target N minutes; new inputs are kept
#                                    in build-fuzz/corpus/<target> and grow from run to run
#   scripts/fuzz.sh --seconds N      a short run from the seeds alone (CI: --seconds 10)
#   scripts/fuzz.sh ... --only NAME  one target only (may be given more than once)
#
# Prints one line per target: "<target>: inputs tried <n> / faults found <n>". A fault is an input
# that crashed the target, broke one of its invariants, tripped a sanitizer or hung; each is saved
# as build-fuzz/artifacts/<target>/crash-*, leak-* or timeout-* and reproduced by running the target
# on that file. Exits 1 when any target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=""
keep_corpus=0
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) seconds=$(( $2 * 60 )); keep_corpus=1; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --only) only+=("$2"); shift 2 ;;
    *) echo "usage: $0 --minutes N | --seconds N [--only TARGET]..." >&2; exit 64 ;;
  esac
done
if [ -z "$seconds" ] || [ "$seconds" -le 0 ]; then
  echo "usage: $0 --minutes N | --seconds N [--only TARGET]..." >&2
  exit 64
fi

build_dir=${QMX_FUZZ_BUILD_DIR:-build-fuzz}
cmake -S fuzz -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER="${QMX_FUZZ_CXX:-clang++}" ${QMX_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"

targets=()
for seeds in fuzz/corpus/*/; do
  targets+=("$(basename "$seeds")")
done
if [ "${#only[@]}" -gt 0 ]; then
  targets=("${only[@]}")
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

total_runs=0
total_faults=0
for target in "${targets[@]}"; do
  binary="$build_dir/bin/$target"
  [ -x "$binary" ] || { echo "$target: no such fuzz target" >&2; exit 64; }
  artifacts="$build_dir/artifacts/$target"
  mkdir -p "$artifacts"
  if [ "$keep_corpus" -eq 1 ]; then
    corpus="$build_dir/corpus/$target"
    mkdir -p "$corpus"
  else
    corpus=$(mktemp -d)
  fi
  found=$(mktemp)
  runs=0
  deadline=$(( $(date +%s) + seconds ))
  # After a fault the target starts again for the rest of its time, so one fault does not end the
  # campaign; a short run stops at the first fault.
  while :; do
    left=$(( deadline - $(date +%s) ))
    [ "$left" -gt 0 ] || break
    log=$(mktemp)
    status=0
    "$binary" -max_total_time="$left" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ -z "$n" ]; then
      # A run that ends on a fault prints no final statistics; its last progress line counts.
      n=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    fi
    runs=$(( runs + ${n:-0} ))
    if [ "$status" -ne 0 ]; then
      echo "---- $target: fault (exit $status) ----" >&2
      grep -E "invariant broken|ERROR:|runtime error|SUMMARY|Test unit written" "$log" >&2 || tail -n 30 "$log" >&2
      written=$(sed -n 's/.*Test unit written to \([^ ]*\).*/\1/p' "$log")
      echo "${written:-$target exit $status without a saved input}" >>"$found"
      rm -f "$log"
      [ "$keep_corpus" -eq 1 ] || break
      continue
    fi
    rm -f "$log"
    break
  done
  [ "$keep_corpus" -eq 1 ] || rm -rf "$corpus"
  # The same input saved twice (a fault met again after a restart) counts once.
  faults=$(sort -u "$found" | grep -c . || true)
  rm -f "$found"
  echo "$target: inputs tried $runs / faults found $faults"
  total_runs=$(( total_runs + runs ))
  total_faults=$(( total_faults + faults ))
done
echo "all targets: inputs tried $total_runs / faults found $total_faults"
[ "$total_faults" -eq 0 ]
