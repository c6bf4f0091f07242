#!/usr/bin/env bash
# Makes the desktop pictures in docs/images: plays the examples that write a
# picture (centring on the display under the mouse, an out-of-view position
# sent back to the centre, a display left of the primary one) in korvel-sim
# there, and converts each SVG to PNG with rsvg-convert.
#
# Uses the native preset's build, bringing korvel-sim and the module up to
# date first, which costs nothing when they are.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/native
examples=(centred-open out-of-view left-display) # tests/snapshot/check_images.py checks the same

scripts/preset.sh --log build/native/pictures-build.log native korvel-sim qzkorvel
mkdir -p docs/images
for name in "${examples[@]}"; do
  "$build/bin/korvel-sim" --pictures docs/images "examples/$name.ksim" >/dev/null
  rsvg-convert "docs/images/$name.svg" -o "docs/images/$name.png"
  echo "docs/images/$name.svg docs/images/$name.png"
done
