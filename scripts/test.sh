#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test: the
# warnings-as-errors build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of every fuzz target (about a minute
# in all; scripts/fuzz.sh 600 for a long one), and the Windows build played
# under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

jobs=$(nproc)
for preset in ci asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done

echo "== fuzz"
scripts/fuzz.sh 8

echo "== windows build and smoke test"
tests/windows/smoke.sh
