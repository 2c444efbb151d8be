#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every target in fuzz/ for a bounded
# time on a copy of its committed corpus in fuzz/corpus/<target>/. The
# committed corpus is never changed; what a run adds stays in
# build/fuzz/corpus-work/. Fails when any target crashes, times out or runs
# out of memory; the input that did it is kept in build/fuzz/crashes/<target>/.
#
#   scripts/fuzz.sh [seconds-per-target]     (default 8; 600 for a long run)
set -euo pipefail
seconds=${1:-8}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds-per-target]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

build=$root/build/fuzz
failed=()
for source in fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  work=$build/corpus-work/$target
  crashes=$build/crashes/$target
  log=$build/logs/$target.log
  rm -rf "$work"
  mkdir -p "$work" "$crashes" "$(dirname "$log")"
  if [ -d "fuzz/corpus/$target" ]; then
    cp -R "fuzz/corpus/$target/." "$work/"
  fi
  # The targets work in a scratch folder of their own, so the artifact
  # prefix must be absolute.
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$work" >"$log" 2>&1 || status=$?
  runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
  if [ "$status" -eq 0 ]; then
    printf '%-22s %10s executions in %ss\n' "$target" "${runs:-?}" "$seconds"
  else
    printf '%-22s FAILED (exit %s); log %s\n' "$target" "$status" "$log"
    grep -E 'ERROR:|SUMMARY:|Test unit written' "$log" | head -n 5 | sed 's/^/    /'
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]} (inputs in $build/crashes/)" >&2
  exit 1
fi
