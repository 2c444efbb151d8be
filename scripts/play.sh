#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds the game and starts it.
# The score file "TUMBLA.HSC" is kept in the folder the game is started from.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" play
cmake --preset dev -S "$root" >/dev/null
cmake --build "$root/build/dev" --target tumbla
exec "$root/build/dev/shell/tumbla" "$@"
