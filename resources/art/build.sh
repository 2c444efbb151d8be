#!/usr/bin/env bash
# Regenerates the committed resources from the sources in this folder:
#   ../tumbla.bmp      sprite sheet   (sheet.py, the fruit *.svg, explosion.py)
#   ../tumbla.ico      program icon   (icon.py, icon.svg)
#   ../tumbla-256.png  large icon     (icon.py, icon.svg)
#   ../explode.wav, ../applause.wav   (sounds.py)
#
# Needs rsvg-convert (librsvg2-bin) and Pillow for the system Python
# (python3-pil). The output is deterministic: two runs give byte-identical
# files (checked with sha256sum), and `build.sh --check` regenerates into a
# scratch folder and compares with the committed files.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
python=/usr/bin/python3
outputs=(tumbla.bmp tumbla.ico tumbla-256.png explode.wav applause.wav)

generate() {
  local out_dir="$1"
  (
    cd "$here"
    "$python" -B sheet.py "$out_dir"
    "$python" -B icon.py "$out_dir"
    "$python" -B sounds.py "$out_dir"
  )
}

if [ "${1:-}" = "--check" ]; then
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  generate "$scratch"
  status=0
  for f in "${outputs[@]}"; do
    if cmp -s "$scratch/$f" "$here/../$f"; then
      echo "same: $f"
    else
      echo "DIFFERENT: $f"
      status=1
    fi
  done
  exit "$status"
fi

generate "$here/.."
(cd "$here/.." && sha256sum "${outputs[@]}")
