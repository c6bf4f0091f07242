#!/usr/bin/env bash
# Makes the desktop pictures in docs/images: plays the examples that write a
# picture (centring on the display under the mouse, an out-of-view position
# sent back to the centre, a display left of the primary one) in korvel-sim
# there, and converts each SVG to PNG with rsvg-convert.
#
# Uses the native build (build/native, or the build folder in $KORVEL_BUILD):
# configures it first when there is none, and brings korvel-sim and the module
# up to date, which costs nothing when they are.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KORVEL_BUILD:-$root/build/native}
examples=(centred-open out-of-view left-display)

scripts/setup.sh native
if [[ ! -e $build/build.ninja ]]; then
  cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target korvel-sim qzkorvel >/dev/null
mkdir -p docs/images
for name in "${examples[@]}"; do
  "$build/bin/korvel-sim" --pictures docs/images "examples/$name.ksim" >/dev/null
  rsvg-convert "docs/images/$name.svg" -o "docs/images/$name.png"
  echo "docs/images/$name.svg docs/images/$name.png"
done
